#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// What to do when the folder of an existing file takes no new files, so that
// no file can be written beside it.
enum class ClosedFolder {
    Fail,
    // Rewrite the file itself (QSaveFile's direct write), after making sure
    // of room for the new content.
    RewriteInPlace,
};

// Replaces the file at path by bytes, or creates it, through QSaveFile: the
// bytes go to a new file in the same folder, every write checked and flushed
// to disk, which then takes the file's place in one step. A link is followed to the file it names.
// Empty text on success; else why it failed, in the user's words
// (systemErrorText), and the earlier file is left byte for byte.
// A new file gets the permissions the user's umask gives; a replaced one keeps
// its own. A file without its owner's write permission is never replaced.
QString replaceFile(const QString &path, const QByteArray &bytes, ClosedFolder closedFolder = ClosedFolder::Fail);

// What the program was doing when the system refused.
enum class FileAccess { Write, Read };

// A system error (an errno value) as a user reads it: "ディスクの空きがありません"
// for a full disk, "書き込みが許可されていません" for a refused write
// ("読み込みが許可されていません" for a refused read), ..., followed by the
// system's own text in parentheses.
QString systemErrorText(int errorNumber, FileAccess access = FileAccess::Write);

} // namespace platform
