#include "platform/fileaccess.h"

#include "platform/fileaccess_os.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>

namespace platform {

FileResult systemFailure(int errorNumber, FileUse use)
{
    return {failureOf(errorNumber, use), systemText(errorNumber)};
}

FileError failureOf(int errorNumber, FileUse use)
{
    switch (errorNumber) {
    case 0:
        return FileError::DiskFailed;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
        return FileError::DiskFull;
    case EACCES:
    case EPERM:
        return use == FileUse::Read ? FileError::ReadDenied : FileError::WriteDenied;
    case EROFS:
        return FileError::WriteDenied;
    case ENOENT:
    case ENOTDIR:
        return FileError::Missing;
    case EISDIR:
        return FileError::Folder;
    case ENAMETOOLONG:
        return FileError::NameTooLong;
    case EINVAL:
    case EILSEQ:
        return FileError::BadName;
    case EIO:
        return FileError::DiskFailed;
    case EBUSY:
    case ETXTBSY:
        return FileError::InUse;
    case EMFILE:
    case ENFILE:
        return FileError::TooManyOpen;
    case ENOMEM:
        return FileError::NoMemory;
    case ELOOP:
        return FileError::LinkLoop;
    default:
        return FileError::Other;
    }
}

QByteArray readUpTo(QFile &file, qint64 maxBytes)
{
    QByteArray bytes = file.read(std::min(file.size(), maxBytes) + 1);
    // A file that grows while it is read is read on up to the limit.
    if (bytes.size() > file.size() && bytes.size() <= maxBytes)
        bytes += file.read(maxBytes + 1 - bytes.size());
    return bytes;
}

FileResult readRegularFile(const QString &path, qint64 maxBytes, QByteArray &bytes)
{
    QFile file;
    if (FileResult opened = openRegularFile(file, path, QIODevice::ReadOnly); !opened.ok())
        return opened;
    if (file.size() <= maxBytes)
        bytes = readUpTo(file, maxBytes);
    if (file.size() > maxBytes || bytes.size() > maxBytes) {
        bytes.clear();
        return {FileError::TooLarge, {}};
    }
    // QFile keeps no errno: a failed read of a regular file is the disk's.
    if (file.error() != QFileDevice::NoError) {
        bytes.clear();
        return systemFailure(EIO, FileUse::Read);
    }
    return {};
}

namespace {

FileResult mayReplace(const Entry &entry)
{
    switch (entry.kind) {
    case EntryKind::Nothing:
    case EntryKind::Link: // replaced, never written through
    case EntryKind::Unknown:
        return {};
    case EntryKind::Folder:
        return systemFailure(EISDIR);
    case EntryKind::Other:
        return {FileError::NotAFile, {}};
    case EntryKind::File:
        break;
    }
    // Read-only is read-only also for the administrator, who could write it anyway.
    return entry.ownerWrites && entry.processWrites ? FileResult() : systemFailure(EACCES);
}

} // namespace

FileResult mayReplace(const QString &path)
{
    return mayReplace(entryAt(path));
}

namespace {

// Room for size bytes in the existing file at path, for QSaveFile's direct
// write, which truncates the file before it writes: a full disk fails here,
// before any byte changes.
FileResult reserveRoom(const QString &path, qint64 size)
{
    QFile file;
    if (FileResult opened = openRegularFile(file, path, QIODevice::ReadWrite); !opened.ok())
        return opened;
    const qint64 old = file.size();
    if (size <= old)
        return {};
    const FileResult lengthened = lengthen(file, size);
    // A failed reservation may still have lengthened the file.
    if (!lengthened.ok())
        file.resize(old);
    return lengthened;
}

} // namespace

FileResult removeFile(const QString &path)
{
    if (entryAt(path).kind == EntryKind::Nothing)
        return {};
    clearLastError();
    return QFile::remove(path) ? FileResult() : lastFailure();
}

FileResult writeFile(const QString &path, const QByteArray &bytes, ClosedFolder closedFolder)
{
    const Entry existing = entryAt(path);
    if (FileResult may = mayReplace(existing); !may.ok())
        return may;
    const bool link = existing.kind == EntryKind::Link;
    const bool closed = !isWritableFolder(QFileInfo(path).absolutePath());
    // A link takes no direct write: the new file needs a place beside it.
    if (link && closed)
        return systemFailure(EACCES);

    // QSaveFile follows a link and writes the file it names: the link goes
    // first, and comes back should the new file not be written.
    if (link) {
        if (FileResult removed = removeFile(path); !removed.ok())
            return removed;
    }
    const auto failed = [&](FileResult failure) {
        if (link)
            QFile::link(existing.linkTarget, path);
        return failure;
    };

    QSaveFile file(path);
    if (existing.kind == EntryKind::File && closed && closedFolder == ClosedFolder::RewriteInPlace) {
        if (FileResult room = reserveRoom(path, bytes.size()); !room.ok())
            return room;
        file.setDirectWriteFallback(true);
    }
    clearLastError();
    if (!file.open(QIODevice::WriteOnly))
        return failed(lastFailure());
    // On Qt 6.4 a buffered QSaveFile writes its buffer only in commit(), which
    // then reports success after a failed write and renames a short file over
    // the old one: each write and the final flush are checked before commit().
    clearLastError();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const FileResult failure = lastFailure();
        file.cancelWriting();
        return failed(failure);
    }
    clearLastError();
    return file.commit() ? FileResult() : failed(lastFailure());
}

} // namespace platform
