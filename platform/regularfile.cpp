#include "platform/regularfile.h"

#include <algorithm>
#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

// Windows opens files its own way: regularfile_win.cpp.
#ifndef Q_OS_WIN

RegularFile openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode)
{
    const bool reads = mode.testFlag(QIODevice::ReadOnly);
    const bool writes = mode.testFlag(QIODevice::WriteOnly);
    const int access = reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
    // Without O_NONBLOCK the open itself of a FIFO waits for a writer (or a reader).
    const int fd = ::open(QFile::encodeName(path).constData(), access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        switch (errno) {
        case ENOENT:
        case ENOTDIR:
            return RegularFile::Missing;
        case EISDIR: // a folder opened for writing
        case ENXIO: // a FIFO without a reader, a socket
            return RegularFile::NotAFile;
        default:
            return RegularFile::Failed;
        }
    }
    const auto refuse = [fd](RegularFile why) {
        ::close(fd);
        return why;
    };
    struct stat status
    { };
    if (::fstat(fd, &status) != 0)
        return refuse(RegularFile::Failed);
    if (!S_ISREG(status.st_mode))
        return refuse(RegularFile::NotAFile);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0
        || !file.open(fd, mode & (QIODevice::ReadWrite | QIODevice::Unbuffered), QFileDevice::AutoCloseHandle))
        return refuse(RegularFile::Failed);
    return RegularFile::Opened;
}
#endif

QByteArray readUpTo(QFile &file, qint64 maxBytes)
{
    QByteArray bytes = file.read(std::min(file.size(), maxBytes) + 1);
    // A file that grows while it is read is read on up to the limit.
    if (bytes.size() > file.size() && bytes.size() <= maxBytes)
        bytes += file.read(maxBytes + 1 - bytes.size());
    return bytes;
}

} // namespace platform
