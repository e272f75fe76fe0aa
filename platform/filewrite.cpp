#include "platform/filewrite.h"

#include "platform/regularfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#ifdef Q_OS_WIN
#include "platform/winerror_win.h"

#include <windows.h>
#else
#include <fcntl.h>
#endif

namespace platform {

namespace {

// Forgets the reason of an earlier failure before a call that may fail.
void clearLastError()
{
    errno = 0;
#ifdef Q_OS_WIN
    ::SetLastError(ERROR_SUCCESS);
#endif
}

// The system's reason for the call that just failed, in the user's words:
// errno, or on Windows the error code of its own calls that Qt makes; a
// failure reported without either counts as a failed disk access.
QString lastFailure()
{
#ifdef Q_OS_WIN
    if (const DWORD error = ::GetLastError(); errno == 0 && error != ERROR_SUCCESS)
        return windowsErrorText(error);
#endif
    return systemErrorText(errno != 0 ? errno : EIO);
}

// Room for size bytes in the file at path, for QSaveFile's direct write,
// which truncates the file before it writes: a full disk fails here, before
// any byte changes.
QString reserveRoom(const QString &path, qint64 size)
{
    QFile file;
    clearLastError();
    if (openRegularFile(file, path, QIODevice::ReadWrite) != RegularFile::Opened)
        return lastFailure();
    const qint64 old = file.size();
    if (size <= old)
        return {};
#ifdef Q_OS_WIN
    // Windows sets the disk space aside as the file is lengthened.
    clearLastError();
    if (!file.resize(size)) {
        const QString failure = lastFailure();
        file.resize(old);
        return failure;
    }
#else
    // posix_fallocate returns its error instead of setting errno.
    if (const int error = ::posix_fallocate(file.handle(), 0, size); error != 0) {
        // A failed reservation may still have lengthened the file.
        file.resize(old);
        return systemErrorText(error);
    }
#endif
    return {};
}

// The words for an errno value, without the system's text.
QString errorWords(int errorNumber, FileAccess access)
{
    switch (errorNumber) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
        return QStringLiteral("ディスクの空きがありません");
    case EACCES:
    case EPERM:
        return access == FileAccess::Read ? QStringLiteral("読み込みが許可されていません")
                                          : QStringLiteral("書き込みが許可されていません");
    case EROFS:
        return QStringLiteral("書き込みが許可されていません");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("フォルダーまたはファイルが見つかりません");
    case EISDIR:
        return QStringLiteral("同じ名前のフォルダーがあります");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます");
    case EINVAL:
    case EILSEQ:
        return QStringLiteral("このファイル名は使えません");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("ファイルが使用中です");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます");
    case ENOMEM:
        return QStringLiteral("メモリが足りません");
    case ELOOP:
        return QStringLiteral("リンクが多すぎるか循環しています");
    default:
        return QStringLiteral("システムのエラーです");
    }
}

} // namespace

QString replaceFile(const QString &path, const QByteArray &bytes, ClosedFolder closedFolder)
{
    // QFileInfo follows a link, as QSaveFile does: the link stays and the file it names changes.
    const QFileInfo existing(path);
    if (existing.exists()) {
        if (existing.isDir())
            return systemErrorText(EISDIR);
        if (!existing.isFile())
            return QStringLiteral("通常のファイルではありません");
        // Read-only is read-only also for the administrator, who could write it anyway.
        if (!existing.permissions().testFlag(QFile::WriteOwner) || !existing.isWritable())
            return systemErrorText(EACCES);
    }

    // A link that names no file is replaced itself: QSaveFile would follow it
    // and create the file it names, wherever that is.
    clearLastError();
    if (existing.isSymLink() && !existing.exists() && !QFile::remove(path))
        return lastFailure();

    QSaveFile file(path);
    if (existing.exists() && closedFolder == ClosedFolder::RewriteInPlace
        && !QFileInfo(existing.canonicalPath()).isWritable()) {
        if (const QString failure = reserveRoom(existing.canonicalFilePath(), bytes.size()); !failure.isEmpty())
            return failure;
        file.setDirectWriteFallback(true);
    }
    clearLastError();
    if (!file.open(QIODevice::WriteOnly))
        return lastFailure();
    // On Qt 6.4 a buffered QSaveFile writes its buffer only in commit(), which
    // then reports success after a failed write and renames a short file over
    // the old one: each write and the final flush are checked before commit().
    clearLastError();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString failure = lastFailure();
        file.cancelWriting();
        return failure;
    }
    clearLastError();
    return file.commit() ? QString() : lastFailure();
}

QString systemErrorText(int errorNumber, FileAccess access)
{
#ifdef Q_OS_WIN
    // Qt reads the number as one of Windows' own error codes there: the C
    // library's text for it.
    const QString detail = QString::fromLocal8Bit(std::strerror(errorNumber));
#else
    const QString detail = qt_error_string(errorNumber);
#endif
    return errorWords(errorNumber, access) + u'（' + detail + u'）';
}

#ifdef Q_OS_WIN
QString windowsErrorText(unsigned long error, FileAccess access)
{
    return errorWords(errnoForWindowsError(error), access) + u'（' + qt_error_string(int(error)) + u'）';
}
#endif

} // namespace platform
