#include "platform/fileaccess_os.h"

#include "platform/winerror_win.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <windows.h>

Q_CORE_EXPORT extern int qt_ntfs_permission_lookup;

namespace platform {

namespace {

constexpr qsizetype MaxNameLength = 255;

} // namespace

FileResult windowsFailure(unsigned long error, FileUse use)
{
    return {failureOf(errnoForWindowsError(error), use), qt_error_string(int(error))};
}

QString systemText(int errorNumber)
{
    // Qt reads the number as one of Windows' own error codes here: the C
    // library's text for it.
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

void clearLastError()
{
    errno = 0;
    ::SetLastError(ERROR_SUCCESS);
}

FileResult lastFailure(FileUse use)
{
    if (const DWORD error = ::GetLastError(); errno == 0 && error != ERROR_SUCCESS)
        return windowsFailure(error, use);
    return systemFailure(errno != 0 ? errno : EIO, use);
}

// Windows has no owner's permissions apart from the read-only mark, which
// its administrator may not write past either.
Entry entryAt(const QString &path)
{
    const QFileInfo info(path);
    Entry entry;
    entry.target = !info.exists() ? EntryKind::Nothing
        : info.isDir()            ? EntryKind::Folder
        : info.isFile()           ? EntryKind::File
                                  : EntryKind::Other;
    entry.kind = info.isSymbolicLink() ? EntryKind::Link : entry.target;
    // Qt 6.4 reads no link as written, only the absolute path it names.
    entry.linkTarget = entry.kind == EntryKind::Link ? info.symLinkTarget() : QString();
    entry.processReads = info.isReadable();
    entry.ownerWrites = info.permission(QFile::WriteOwner);
    entry.processWrites = info.isWritable();
    entry.permissions = info.permissions();
    return entry;
}

bool isWritableFolder(const QString &folder)
{
    // Windows answers from the folder's access list only when asked to: else
    // it looks at the read-only mark alone, which folders do not carry.
    ++qt_ntfs_permission_lookup;
    const QFileInfo info(folder);
    const bool writable = info.isDir() && info.isWritable() && info.permission(QFile::WriteOwner);
    --qt_ntfs_permission_lookup;
    return writable;
}

FileResult openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode)
{
    const FileUse use = mode.testFlag(QIODevice::WriteOnly) ? FileUse::Write : FileUse::Read;
    // Windows has no FIFOs in the file system; a folder, a device name (NUL,
    // CON, COM1) or a pipe is not a file to read.
    // A name of more than 255 characters is refused by the file systems, as
    // invalid or as missing: it is told as too long.
    const QStringList parts = QDir::fromNativeSeparators(path).split(u'/');
    if (std::any_of(parts.cbegin(), parts.cend(), [](const QString &part) { return part.size() > MaxNameLength; }))
        return systemFailure(ENAMETOOLONG, use);
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return windowsFailure(::GetLastError(), use);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return {FileError::NotAFile, {}};
    const DWORD access = (mode.testFlag(QIODevice::ReadOnly) ? GENERIC_READ : 0)
        | (mode.testFlag(QIODevice::WriteOnly) ? GENERIC_WRITE : 0);
    HANDLE handle = ::CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return windowsFailure(::GetLastError(), use);
    const bool onDisk = ::GetFileType(handle) == FILE_TYPE_DISK;
    ::CloseHandle(handle);
    if (!onDisk)
        return {FileError::NotAFile, {}};
    file.setFileName(path);
    if (!file.open((mode & (QIODevice::ReadWrite | QIODevice::Unbuffered)) | QIODevice::ExistingOnly))
        return systemFailure(EACCES, use);
    return {};
}

FileResult lengthen(QFile &file, qint64 size)
{
    // Windows sets the disk space aside as the file is lengthened.
    clearLastError();
    return file.resize(size) ? FileResult() : lastFailure();
}

} // namespace platform
