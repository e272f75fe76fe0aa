#include "platform/shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace platform {

void DesktopShell::open(const QString &target)
{
    // An absolute path is a local file or folder; anything else is handed over as an address.
    const QUrl url = QDir::isAbsolutePath(target) ? QUrl::fromLocalFile(target) : QUrl(target);
    QDesktopServices::openUrl(url);
}

} // namespace platform
