#include "platform/filewrite.h"

#include "platform/regularfile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Every write is checked before it is trusted: a buffered QSaveFile writes its
// buffer only in commit(), which on Qt 6.4 then reports success after a failed
// write and renames a short (or empty) file over the old one.
namespace platform {

namespace {

// Tries a temporary name this often before giving up on the folder.
constexpr int TemporaryNameTries = 16;

// An open file descriptor, closed when it goes unless close() was asked for
// (whose result counts: some file systems report a failed write only there).
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    { }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

// Writes all of bytes from the start of the file; false with errno set when
// any write falls short.
bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::pwrite(fd, bytes.constData() + done, bytes.size() - done, done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        done += written;
    }
    return true;
}

// A new file in folder that nobody else has, hidden and without the target's
// extension, so no list of the folder's files shows it; its path in name. The
// mode is what the umask makes of 0666, as for any new file.
int createTemporary(const QString &folder, QByteArray &name)
{
    for (int i = 0; i < TemporaryNameTries; ++i) {
        name = QFile::encodeName(folder + QStringLiteral("/.harovan-")
            + QString::number(QRandomGenerator::global()->generate64(), 36) + QStringLiteral(".tmp"));
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The file itself rewritten, for a file the program may change but not
// replace: room for the new content is taken first, so a full disk fails
// before any byte changes; should a write fail all the same, the old content
// is put back.
QString rewriteInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file;
    if (openRegularFile(file, path, QIODevice::ReadWrite) != RegularFile::Opened)
        return systemErrorText(errno);
    const QByteArray old = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return systemErrorText(EIO);
    const int fd = file.handle();
    if (bytes.size() > old.size()) {
        // posix_fallocate returns its error instead of setting errno.
        if (const int error = ::posix_fallocate(fd, 0, bytes.size()); error != 0) {
            // A failed reservation may still have lengthened the file.
            [[maybe_unused]] const int truncated = ::ftruncate(fd, old.size());
            return systemErrorText(error);
        }
    }
    if (!writeAll(fd, bytes) || ::ftruncate(fd, bytes.size()) != 0 || ::fsync(fd) != 0) {
        const int error = errno;
        if (writeAll(fd, old) && ::ftruncate(fd, old.size()) == 0)
            ::fsync(fd);
        return systemErrorText(error);
    }
    return {};
}

// Flushes the folder's entry of a renamed file to disk. A failure here leaves
// the new file in place, so it is not reported.
void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

QString replaceFile(const QString &path, const QByteArray &bytes, ClosedFolder closedFolder)
{
    // A link is followed, so the link stays and the file it names changes.
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    const QString target = canonical.isEmpty() ? info.absoluteFilePath() : canonical;
    const QByteArray targetName = QFile::encodeName(target);

    struct stat existing
    { };
    const bool exists = ::stat(targetName.constData(), &existing) == 0;
    if (exists) {
        if (S_ISDIR(existing.st_mode))
            return systemErrorText(EISDIR);
        if (!S_ISREG(existing.st_mode))
            return QStringLiteral("通常のファイルではありません");
        // Read-only is read-only also for the administrator, who could write it anyway.
        if ((existing.st_mode & S_IWUSR) == 0 || ::access(targetName.constData(), W_OK) != 0)
            return systemErrorText(EACCES);
    } else if (errno != ENOENT) {
        return systemErrorText(errno);
    }

    const QString folder = QFileInfo(target).absolutePath();
    QByteArray temporaryName;
    Descriptor temporary(createTemporary(folder, temporaryName));
    if (temporary.get() < 0) {
        const int error = errno;
        if (exists && closedFolder == ClosedFolder::RewriteInPlace && (error == EACCES || error == EPERM))
            return rewriteInPlace(target, bytes);
        return systemErrorText(error);
    }
    // A replaced file keeps its permissions; a new one has the umask's.
    const bool written = (!exists || ::fchmod(temporary.get(), existing.st_mode & 07777) == 0)
        && writeAll(temporary.get(), bytes) && ::fsync(temporary.get()) == 0 && temporary.close()
        && ::rename(temporaryName.constData(), targetName.constData()) == 0;
    if (!written) {
        const int error = errno;
        ::unlink(temporaryName.constData());
        return systemErrorText(error);
    }
    syncFolder(folder);
    return {};
}

QString systemErrorText(int errorNumber, FileAccess access)
{
    QString text;
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        text = QStringLiteral("ディスクの空きがありません");
        break;
    case EACCES:
    case EPERM:
        text = access == FileAccess::Read ? QStringLiteral("読み込みが許可されていません")
                                          : QStringLiteral("書き込みが許可されていません");
        break;
    case EROFS:
        text = QStringLiteral("書き込みが許可されていません");
        break;
    case ENOENT:
    case ENOTDIR:
        text = QStringLiteral("フォルダーまたはファイルが見つかりません");
        break;
    case EISDIR:
        text = QStringLiteral("同じ名前のフォルダーがあります");
        break;
    case ENAMETOOLONG:
        text = QStringLiteral("ファイル名が長すぎます");
        break;
    case EINVAL:
    case EILSEQ:
        text = QStringLiteral("このファイル名は使えません");
        break;
    case EIO:
        text = QStringLiteral("ディスクの読み書きに失敗しました");
        break;
    case EBUSY:
    case ETXTBSY:
        text = QStringLiteral("ファイルが使用中です");
        break;
    case EMFILE:
    case ENFILE:
        text = QStringLiteral("開いているファイルが多すぎます");
        break;
    case ENOMEM:
        text = QStringLiteral("メモリが足りません");
        break;
    case ELOOP:
        text = QStringLiteral("リンクが多すぎるか循環しています");
        break;
    default:
        text = QStringLiteral("システムのエラーです");
        break;
    }
    return text + u'（' + qt_error_string(errorNumber) + u'）';
}

} // namespace platform
