#pragma once

#include "core/AtariBook.h"
#include "core/FileErrorText.h"

#include <QString>

// The words the book of won cards shows the user: a state's message and the
// reasons it names.
namespace BookTexts {

inline const QString NoWrite = FileErrorText::words(platform::FileError::WriteDenied);
inline const QString NoRead = FileErrorText::words(platform::FileError::ReadDenied);
inline const QString FolderOfTheName = FileErrorText::words(platform::FileError::Folder);
inline const QString NotAFile = FileErrorText::words(platform::FileError::NotAFile);
inline const QString LinkToNoBook = QStringLiteral("リンク先がHarovanの記録ではありません");
inline const QString NoFolder = QStringLiteral("記録のフォルダーを作れません");
inline const QString MovedAway = QStringLiteral("記録のファイルがほかのプログラムに移されました");
inline const QString DiskFull = FileErrorText::words(platform::FileError::DiskFull);
inline const QString DiskFailed = FileErrorText::words(platform::FileError::DiskFailed);
inline const QString InUse = QStringLiteral("ほかのプログラムが記録を使用中です");
inline const QString NoMemory = FileErrorText::words(platform::FileError::NoMemory);
inline const QString CannotOpen = QStringLiteral("ファイルを開けません");
inline const QString OldAndReadOnly = QStringLiteral("古い版の記録で、書き込みが許可されていないため読めません");
// Damaged books: the file kept as it is, with what was found.
inline const QString UnknownVersion = QStringLiteral("記録の版の番号が正しくありません");
inline const QString ForeignJournal
    = QStringLiteral("記録の横に、ほかのデータベースのジャーナル（atari.db-journal）があります");
inline const QString ForeignLog = QStringLiteral("記録の横に、ほかのデータベースのログ（atari.db-wal）があります");
inline const QString ValueTooLong = QStringLiteral("記録に長すぎる値があります");
inline const QString IdsUsedUp = QStringLiteral("記録できるはがきの通し番号を使い切りました");
// SQLite's own words for a failure the program does not tell apart.
QString Failure(const QString &sqliteText);

// What a state means for the user, with the book's path; empty for Ready.
QString Message(AtariBook::State state, const QString &reason, const QString &path);
// The first line of a read-only book's message: why its cards cannot be changed.
QString Unchangeable(const QString &reason);
// The question before a new book is started, the file kept under asideName.
QString NewBookQuestion(const QString &asideName);
// A file that could not be moved aside.
QString NotMovedAside(const QString &systemReason);

} // namespace BookTexts
