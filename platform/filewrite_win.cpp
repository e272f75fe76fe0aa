#include "platform/filewrite.h"
#include "platform/winerror_win.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <string>

#include <windows.h>

namespace platform {

namespace {

// Tries a temporary name this often before giving up on the folder.
constexpr int TemporaryNameTries = 16;

int errnoFor(DWORD error)
{
    return errnoForWindowsError(error);
}

} // namespace

int errnoForWindowsError(unsigned long error)
{
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
        return EACCES;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return EINVAL;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    default:
        return EIO;
    }
}

namespace {

std::wstring nativeName(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// A handle closed when it goes.
class Handle
{
public:
    explicit Handle(HANDLE handle)
        : m_handle(handle)
    { }
    ~Handle()
    {
        if (valid())
            ::CloseHandle(m_handle);
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;

    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }
    bool close()
    {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return ::CloseHandle(handle) != 0;
    }

private:
    HANDLE m_handle;
};

// Writes all of bytes from the start of the file and cuts it there.
bool writeAll(HANDLE file, const QByteArray &bytes)
{
    LARGE_INTEGER start {};
    if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = DWORD(std::min<qsizetype>(bytes.size() - done, 1 << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.constData() + done, chunk, &written, nullptr))
            return false;
        if (written == 0) {
            ::SetLastError(ERROR_DISK_FULL);
            return false;
        }
        done += written;
    }
    return ::SetEndOfFile(file) != 0;
}

// The file itself rewritten, for a file whose folder takes no new files:
// room for the new content is taken first; should a write fail all the same,
// the old content is put back.
QString rewriteInPlace(const std::wstring &name, const QByteArray &bytes)
{
    Handle file(::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return systemErrorText(errnoFor(::GetLastError()));
    LARGE_INTEGER size {};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > (qint64(1) << 30))
        return systemErrorText(EIO);
    QByteArray old(qsizetype(size.QuadPart), Qt::Uninitialized);
    DWORD read = 0;
    if (!::ReadFile(file.get(), old.data(), DWORD(old.size()), &read, nullptr) || read != DWORD(old.size()))
        return systemErrorText(EIO);
    if (bytes.size() > old.size()) {
        LARGE_INTEGER end {};
        end.QuadPart = bytes.size();
        if (!::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) || !::SetEndOfFile(file.get())) {
            const int error = errnoFor(::GetLastError());
            end.QuadPart = old.size();
            ::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN);
            ::SetEndOfFile(file.get());
            return systemErrorText(error);
        }
    }
    if (!writeAll(file.get(), bytes) || !::FlushFileBuffers(file.get())) {
        const int error = errnoFor(::GetLastError());
        if (writeAll(file.get(), old))
            ::FlushFileBuffers(file.get());
        return systemErrorText(error);
    }
    return {};
}

} // namespace

QString replaceFile(const QString &path, const QByteArray &bytes, ClosedFolder closedFolder)
{
    const QFileInfo info(path);
    // A link that names no file is replaced itself, as on the other systems.
    const bool replaceLink = info.isSymLink() && !info.exists();
    const QString canonical = replaceLink ? QString() : info.canonicalFilePath();
    const QString target = canonical.isEmpty() ? info.absoluteFilePath() : canonical;
    const std::wstring targetName = nativeName(target);

    const DWORD attributes = ::GetFileAttributesW(targetName.c_str());
    const bool exists = !replaceLink && attributes != INVALID_FILE_ATTRIBUTES;
    if (exists) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return systemErrorText(EISDIR);
        // A read-only file is never replaced.
        if (attributes & FILE_ATTRIBUTE_READONLY)
            return systemErrorText(EACCES);
    } else if (!replaceLink) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND)
            return systemErrorText(errnoFor(error));
    }

    // A new file nobody else has, hidden and without the target's extension,
    // so no list of the folder's files shows it.
    const QString folder = QFileInfo(target).absolutePath();
    std::wstring temporaryName;
    HANDLE created = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_FILE_EXISTS;
    for (int i = 0; i < TemporaryNameTries && created == INVALID_HANDLE_VALUE && error == ERROR_FILE_EXISTS; ++i) {
        temporaryName = nativeName(folder + QStringLiteral("/.harovan-")
            + QString::number(QRandomGenerator::global()->generate64(), 36) + QStringLiteral(".tmp"));
        created = ::CreateFileW(
            temporaryName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        error = created != INVALID_HANDLE_VALUE ? ERROR_SUCCESS : ::GetLastError();
    }
    Handle temporary(created);
    if (!temporary.valid()) {
        if (exists && closedFolder == ClosedFolder::RewriteInPlace && error == ERROR_ACCESS_DENIED)
            return rewriteInPlace(targetName, bytes);
        return systemErrorText(errnoFor(error));
    }
    const bool written = writeAll(temporary.get(), bytes) && ::FlushFileBuffers(temporary.get()) && temporary.close()
        && ::MoveFileExW(temporaryName.c_str(), targetName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!written) {
        error = ::GetLastError();
        if (temporary.valid())
            temporary.close();
        ::DeleteFileW(temporaryName.c_str());
        return systemErrorText(errnoFor(error));
    }
    // The new file is seen as any other, not hidden as the temporary was.
    ::SetFileAttributesW(targetName.c_str(),
        exists ? (attributes & ~FILE_ATTRIBUTE_HIDDEN) | FILE_ATTRIBUTE_ARCHIVE : FILE_ATTRIBUTE_ARCHIVE);
    return {};
}

} // namespace platform
