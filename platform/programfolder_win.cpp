#include "platform/programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

QString RealProgramFolder::userRawPath() const
{
    // %APPDATA%\Harovan. QStandardPaths names the user's roaming application
    // data only with the running program's own name below it (a test's, the
    // login reminder's): the folder above that, and the program's name.
    const QString own = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (own.isEmpty())
        return {};
    const QString folder = QDir::toNativeSeparators(QFileInfo(own).path());
    return (folder.endsWith(u'\\') ? folder : folder + u'\\') + QStringLiteral("Harovan");
}

} // namespace platform
