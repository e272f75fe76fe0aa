// Where the lock and the socket lie on Linux and the other Unix systems.
#include "platform/singleinstance.h"

#include "platform/fileaccess.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// A folder (no link) of this user's own that nobody else may read, write or enter.
bool isOwnPrivateFolder(const QString &path)
{
    constexpr QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
        | QFile::WriteOther | QFile::ExeOther;
    const Entry entry = entryAt(path);
    return entry.kind == EntryKind::Folder && entry.ownerId == ::geteuid() && !(entry.permissions & others);
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
    // Made for this user alone, or there already; whose it is, the folder tells.
    ::mkdir(QFile::encodeName(own).constData(), S_IRWXU);
    return isOwnPrivateFolder(own) ? QDir(own).filePath(name) : QString();
}

} // namespace platform
