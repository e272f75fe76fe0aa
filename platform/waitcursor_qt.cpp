#include "platform/waitcursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

void QtMousePointer::setHourglass()
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void QtMousePointer::setDefault()
{
    QGuiApplication::restoreOverrideCursor();
}

} // namespace platform
