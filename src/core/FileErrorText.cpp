#include "core/FileErrorText.h"

using platform::FileError;

QString FileErrorText::words(FileError error)
{
    switch (error) {
    case FileError::None:
        return {};
    case FileError::Missing:
        return QStringLiteral("フォルダーまたはファイルが見つかりません");
    case FileError::NotAFile:
        return QStringLiteral("通常のファイルではありません");
    case FileError::Folder:
        return QStringLiteral("同じ名前のフォルダーがあります");
    case FileError::ReadDenied:
        return QStringLiteral("読み込みが許可されていません");
    case FileError::WriteDenied:
        return QStringLiteral("書き込みが許可されていません");
    case FileError::DiskFull:
        return QStringLiteral("ディスクの空きがありません");
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
    case FileError::TooLarge:
        return QStringLiteral("ファイルが大きすぎます");
    case FileError::Other:
        break;
    }
    return QStringLiteral("システムのエラーです");
}

QString FileErrorText::text(const platform::FileResult &result)
{
    const QString said = words(result.error);
    // Qt's Japanese texts say "許可されていません" for a refused access:
    // the words already say it.
    if (result.systemText.isEmpty() || said.endsWith(result.systemText))
        return said;
    return said + u'（' + result.systemText + u'）';
}

QString FileErrorText::ofErrno(int errorNumber, platform::FileUse use)
{
    return text(platform::systemFailure(errorNumber, use));
}
