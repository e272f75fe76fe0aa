#include "platform/fileaccess_os.h"

#include <cerrno>
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

uint ownerIdOf(const QFileInfo &info)
{
    return info.ownerId();
}

bool isWritableFolder(const QString &folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable() && info.permission(QFile::WriteOwner);
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

FileResult reserveRoom(const QString &path, qint64 size)
{
    QFile file;
    if (FileResult opened = openRegularFile(file, path, QIODevice::ReadWrite); !opened.ok())
        return opened;
    const qint64 old = file.size();
    if (size <= old)
        return {};
    // posix_fallocate returns its error instead of setting errno.
    if (const int error = ::posix_fallocate(file.handle(), 0, size); error != 0) {
        // A failed reservation may still have lengthened the file.
        file.resize(old);
        return systemFailure(error);
    }
    return {};
}

} // namespace platform
