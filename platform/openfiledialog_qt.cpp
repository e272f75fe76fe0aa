#include "platform/openfiledialog.h"

#include <QApplication>
#include <QFileDialog>

namespace platform {

QString QtOpenFileDialog::choose(const QString &title, const QString &folder, const QString &filter)
{
    QFileDialog dialog(QApplication::activeWindow(), title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

} // namespace platform
