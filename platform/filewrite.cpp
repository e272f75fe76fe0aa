#include "platform/filewrite.h"

namespace platform {

namespace {

QString words(FileError error)
{
    switch (error) {
    case FileError::DiskFull:
        return QStringLiteral("ディスクの空きがありません");
    case FileError::ReadDenied:
        return QStringLiteral("読み込みが許可されていません");
    case FileError::WriteDenied:
        return QStringLiteral("書き込みが許可されていません");
    case FileError::Missing:
        return QStringLiteral("フォルダーまたはファイルが見つかりません");
    case FileError::Folder:
        return QStringLiteral("同じ名前のフォルダーがあります");
    case FileError::NotAFile:
        return QStringLiteral("通常のファイルではありません");
    case FileError::NameTooLong:
        return QStringLiteral("ファイル名が長すぎます");
    case FileError::BadName:
        return QStringLiteral("このファイル名は使えません");
    case FileError::DiskFailed:
        return QStringLiteral("ディスクの読み書きに失敗しました");
    case FileError::InUse:
        return QStringLiteral("ファイルが使用中です");
    case FileError::TooManyOpen:
        return QStringLiteral("開いているファイルが多すぎます");
    case FileError::NoMemory:
        return QStringLiteral("メモリが足りません");
    case FileError::LinkLoop:
        return QStringLiteral("リンクが多すぎるか循環しています");
    case FileError::None:
    case FileError::TooLarge:
    case FileError::Other:
        break;
    }
    return QStringLiteral("システムのエラーです");
}

} // namespace

QString textOf(const FileResult &result)
{
    if (result.ok())
        return {};
    return result.systemText.isEmpty() ? words(result.error) : words(result.error) + u'（' + result.systemText + u'）';
}

QString replaceFile(const QString &path, const QByteArray &bytes)
{
    return textOf(writeFile(path, bytes));
}

QString systemErrorText(int errorNumber, FileAccess access)
{
    return textOf(systemFailure(errorNumber, access == FileAccess::Read ? FileUse::Read : FileUse::Write));
}

} // namespace platform
