#include "platform/regularfile.h"

#include <QDir>

#include <windows.h>

namespace platform {

RegularFile openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode)
{
    // Windows has no FIFOs in the file system; a folder, a device name (NUL,
    // CON, COM1) or a pipe is not a file to read.
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        switch (::GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
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
    if (handle == INVALID_HANDLE_VALUE)
        return RegularFile::Failed;
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        ::CloseHandle(handle);
        return RegularFile::NotAFile;
    }
    ::CloseHandle(handle);
    file.setFileName(path);
    if (!file.open(mode & (QIODevice::ReadWrite | QIODevice::Unbuffered) | QIODevice::ExistingOnly))
        return RegularFile::Failed;
    return RegularFile::Opened;
}

} // namespace platform
