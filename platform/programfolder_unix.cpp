#include "platform/programfolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace platform {

namespace {

// A HOME that is relative would put the user's files under whatever folder the
// program was started from; one of the root folder (as a service or sudo may
// leave it for root) beside the program.
bool usableHome(const QString &home)
{
    return !home.isEmpty() && !QDir::isRelativePath(home) && QDir::cleanPath(home) != QDir::rootPath();
}

// The account's own home folder, for when HOME cannot be used; empty when it
// is no absolute path.
QString accountHome()
{
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd *found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir)
        return {};
    const QString account = QFile::decodeName(found->pw_dir);
    return QDir::isRelativePath(account) ? QString() : QDir::cleanPath(account);
}

} // namespace

QString RealProgramFolder::userRawPath() const
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // Qt 6.4 takes a relative XDG_DATA_HOME, which the XDG base directory
    // rules say to ignore, and HOME as it is: without an absolute
    // XDG_DATA_HOME the folder is then ~/.local/share/harovan, in the
    // account's home when HOME cannot be used.
    const QString home = QDir::homePath();
    if (!QDir::isAbsolutePath(qEnvironmentVariable("XDG_DATA_HOME"))
        && (QDir::isRelativePath(base) || !usableHome(home))) {
        const QString folder = usableHome(home) ? home : accountHome();
        if (!usableHome(folder))
            return {};
        base = folder + QStringLiteral("/.local/share");
    }
    return (base.endsWith(u'/') ? base : base + u'/') + QStringLiteral("harovan");
}

} // namespace platform
