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

void QtMousePointer::setOrdinaryOverControl(bool ordinary)
{
    // The hourglass covers every window of the program; only its shape changes here.
    if (QGuiApplication::overrideCursor())
        QGuiApplication::changeOverrideCursor(QCursor(ordinary ? Qt::ArrowCursor : Qt::WaitCursor));
}

} // namespace platform
