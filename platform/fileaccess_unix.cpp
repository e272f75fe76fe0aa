#include "platform/fileaccess_os.h"

#include <array>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

QString systemText(int errorNumber)
{
    return qt_error_string(errorNumber);
}

void clearLastError()
{
    errno = 0;
}

FileResult lastFailure(FileUse use)
{
    return systemFailure(errno != 0 ? errno : EIO, use);
}

namespace {

// What a call of lstat or stat that returned result found.
EntryKind kindOf(int result, const struct stat &status)
{
    if (result != 0)
        return errno == ENOENT || errno == ENOTDIR || errno == ELOOP ? EntryKind::Nothing : EntryKind::Unknown;
    return S_ISLNK(status.st_mode) ? EntryKind::Link
        : S_ISDIR(status.st_mode)  ? EntryKind::Folder
        : S_ISREG(status.st_mode)  ? EntryKind::File
                                   : EntryKind::Other;
}

} // namespace

Entry entryAt(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status
    { };
    Entry entry;
    entry.kind = kindOf(::lstat(name.constData(), &status), status);
    entry.target = entry.kind;
    if (entry.kind == EntryKind::Link) {
        std::array<char, PATH_MAX> written {};
        const ssize_t length = ::readlink(name.constData(), written.data(), written.size());
        entry.linkTarget = length > 0 ? QFile::decodeName(QByteArray(written.data(), length)) : QString();
        entry.target = kindOf(::stat(name.constData(), &status), status);
    }
    if (entry.target == EntryKind::Nothing || entry.target == EntryKind::Unknown)
        return entry;
    entry.processReads = ::access(name.constData(), R_OK) == 0;
    // The system lets the administrator write anything: a file without any
    // write permission is read-only for the program all the same.
    entry.processWrites = ::access(name.constData(), W_OK) == 0 && (::geteuid() != 0 || (status.st_mode & 0222) != 0);
    entry.ownerWrites = (status.st_mode & S_IWUSR) != 0;
    entry.ownerId = status.st_uid;
    const uint process = (entry.processReads ? 4 : 0) | (entry.processWrites ? 2 : 0)
        | (::access(name.constData(), X_OK) == 0 ? 1 : 0);
    // Qt's flags hold four bits (read, write, enter) for each of the owner,
    // this process, the group and the others, from the highest down.
    const uint mode = status.st_mode;
    entry.permissions
        = QFile::Permissions::fromInt(int((mode & 0700) << 6 | process << 8 | (mode & 0070) << 1 | (mode & 0007)));
    return entry;
}

bool isWritableFolder(const QString &folder)
{
    const Entry entry = entryAt(folder);
    return entry.target == EntryKind::Folder && entry.processWrites && entry.ownerWrites;
}

FileResult openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode)
{
    const bool reads = mode.testFlag(QIODevice::ReadOnly);
    const bool writes = mode.testFlag(QIODevice::WriteOnly);
    const FileUse use = writes ? FileUse::Write : FileUse::Read;
    const int access = reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
    // Without O_NONBLOCK the open itself of a FIFO waits for a writer (or a reader).
    const int fd = ::open(QFile::encodeName(path).constData(), access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        // A folder opened for writing; a FIFO without a reader, a socket.
        if (errno == EISDIR || errno == ENXIO)
            return {FileError::NotAFile, {}};
        return lastFailure(use);
    }
    const auto refuse = [fd](FileResult why) {
        ::close(fd);
        return why;
    };
    struct stat status
    { };
    if (::fstat(fd, &status) != 0)
        return refuse(lastFailure(use));
    if (!S_ISREG(status.st_mode))
        return refuse({FileError::NotAFile, {}});
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0
        || !file.open(fd, mode & (QIODevice::ReadWrite | QIODevice::Unbuffered), QFileDevice::AutoCloseHandle))
        return refuse(lastFailure(use));
    return {};
}

FileResult lengthen(QFile &file, qint64 size)
{
    // posix_fallocate returns its error instead of setting errno.
    const int error = ::posix_fallocate(file.handle(), 0, size);
    return error == 0 ? FileResult() : systemFailure(error);
}

} // namespace platform
