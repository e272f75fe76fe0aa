#include "platform/savefiledialog.h"

#include <QApplication>
#include <QFileDialog>

namespace platform {

QString QtSaveFileDialog::choose(
    const QString &title, const QString &suggestedPath, const QString &filter, const QString &suffix)
{
    QFileDialog dialog(QApplication::activeWindow(), title, suggestedPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

} // namespace platform
