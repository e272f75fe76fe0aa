// Where the lock and the socket lie on Linux and the other Unix systems.
#include "platform/singleinstance.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// What is at path itself: a link is not followed.
struct PathStatus
{
    bool exists = false;
    bool folder = false;
    bool plainFile = false;
    // Owned by this user, and nobody else may read, write or enter it.
    bool ownPrivate = false;
};

PathStatus statusOf(const QString &path)
{
    struct stat status
    { };
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return {true, S_ISDIR(status.st_mode), S_ISREG(status.st_mode),
        status.st_uid == ::geteuid() && (status.st_mode & (S_IRWXG | S_IRWXO)) == 0};
}

bool isOwnPrivateFolder(const QString &path)
{
    const PathStatus status = statusOf(path);
    return status.folder && status.ownPrivate;
}

} // namespace

// The user's runtime folder as the desktop sets it up, checked all the same:
// anything another user could have made or may write to could hold a lock or
// a socket that keeps the program from starting. Without one, a folder of the
// user's own in the temporary folder, made now; where that name is taken, no
// folder at all.
QString SingleInstance::placed(const QString &name)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && isOwnPrivateFolder(runtime))
        return QDir(runtime).filePath(name);
    const QString own = QDir(QDir::tempPath()).filePath(QStringLiteral("harovan-%1").arg(::geteuid()));
    // Made for this user alone, or there already; whose it is, lstat tells.
    ::mkdir(QFile::encodeName(own).constData(), S_IRWXU);
    return isOwnPrivateFolder(own) ? QDir(own).filePath(name) : QString();
}

void SingleInstance::clearLockPath(const QString &path)
{
    const PathStatus status = statusOf(path);
    if (!status.exists || status.plainFile)
        return;
    if (status.folder)
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

} // namespace platform
