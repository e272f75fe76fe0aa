#include "platform/printdialog.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>

namespace platform {

bool QtPrintDialog::setUp(QPrinter &printer)
{
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted;
}

} // namespace platform
