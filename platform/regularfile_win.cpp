#include "platform/regularfile.h"

#include "platform/winerror_win.h"

#include <QDir>

#include <algorithm>
#include <cerrno>

#include <windows.h>

namespace platform {

namespace {

constexpr qsizetype MaxNameLength = 255;

} // namespace

RegularFile openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode)
{
    // Windows has no FIFOs in the file system; a folder, a device name (NUL,
    // CON, COM1) or a pipe is not a file to read.
    // A name of more than 255 characters is refused by the file systems, as
    // invalid or as missing: it is told as too long.
    const QStringList parts = QDir::fromNativeSeparators(path).split(u'/');
    if (std::any_of(parts.cbegin(), parts.cend(), [](const QString &part) { return part.size() > MaxNameLength; })) {
        errno = ENAMETOOLONG;
        return RegularFile::Failed;
    }
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    // Callers word a failure from errno, as on the other systems.
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        errno = errnoForWindowsError(error);
        switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return RegularFile::Missing;
        default:
            return RegularFile::Failed;
        }
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return RegularFile::NotAFile;
    const DWORD access = (mode.testFlag(QIODevice::ReadOnly) ? GENERIC_READ : 0)
        | (mode.testFlag(QIODevice::WriteOnly) ? GENERIC_WRITE : 0);
    HANDLE handle = ::CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = errnoForWindowsError(::GetLastError());
        return RegularFile::Failed;
    }
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        ::CloseHandle(handle);
        return RegularFile::NotAFile;
    }
    ::CloseHandle(handle);
    file.setFileName(path);
    if (!file.open((mode & (QIODevice::ReadWrite | QIODevice::Unbuffered)) | QIODevice::ExistingOnly)) {
        errno = EACCES;
        return RegularFile::Failed;
    }
    return RegularFile::Opened;
}

} // namespace platform
