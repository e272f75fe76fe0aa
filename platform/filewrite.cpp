#include "platform/filewrite.h"

#include "platform/regularfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#ifndef Q_OS_WIN
#include <fcntl.h>
#endif

namespace platform {

// Windows replaces files its own way: filewrite_win.cpp.
#ifndef Q_OS_WIN
namespace {

// The system's reason for the call that just failed; a failure Qt reports
// without one counts as a failed disk access.
int lastError()
{
    return errno != 0 ? errno : EIO;
}

// Room for size bytes in the file at path, for QSaveFile's direct write,
// which truncates the file before it writes: a full disk fails here, before
// any byte changes.
QString reserveRoom(const QString &path, qint64 size)
{
    QFile file;
    if (openRegularFile(file, path, QIODevice::ReadWrite) != RegularFile::Opened)
        return systemErrorText(lastError());
    const qint64 old = file.size();
    // posix_fallocate returns its error instead of setting errno.
    if (const int error = size > old ? ::posix_fallocate(file.handle(), 0, size) : 0; error != 0) {
        // A failed reservation may still have lengthened the file.
        file.resize(old);
        return systemErrorText(error);
    }
    return {};
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
    errno = 0;
    if (existing.isSymLink() && !existing.exists() && !QFile::remove(path))
        return systemErrorText(lastError());

    QSaveFile file(path);
    if (existing.exists() && closedFolder == ClosedFolder::RewriteInPlace
        && !QFileInfo(existing.canonicalPath()).isWritable()) {
        if (const QString failure = reserveRoom(existing.canonicalFilePath(), bytes.size()); !failure.isEmpty())
            return failure;
        file.setDirectWriteFallback(true);
    }
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return systemErrorText(lastError());
    // On Qt 6.4 a buffered QSaveFile writes its buffer only in commit(), which
    // then reports success after a failed write and renames a short file over
    // the old one: each write and the final flush are checked before commit().
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int error = lastError();
        file.cancelWriting();
        return systemErrorText(error);
    }
    errno = 0;
    return file.commit() ? QString() : systemErrorText(lastError());
}
#endif

QString systemErrorText(int errorNumber, FileAccess access)
{
    QString text;
    switch (errorNumber) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
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
