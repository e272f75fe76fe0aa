#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The one place that asks the system about a path: what is there, opening a
// regular file to read, and writing a file in one step. Every answer is a
// FileResult, a kind of failure with the system's own text; the core puts it
// into the user's words (core/FileErrorText.h). The rules, the same for
// every file the program reads or writes:
// - only a regular file is read: a FIFO, device, socket or folder is refused
//   before it is waited on, and a link is followed only to a regular file;
// - a link in the way of a write is replaced by the file, never written
//   through: the file it names stays as it was;
// - a file without its owner's write permission is never written, also for
//   the administrator, who could write it anyway.
// fileaccess_unix.cpp and fileaccess_win.cpp do what each system does its own way.
namespace platform {

enum class FileError {
    None,
    Missing, // nothing of that name, or a folder on the way missing
    NotAFile, // a FIFO, device or socket
    Folder, // a folder of that name
    ReadDenied,
    WriteDenied, // also a read-only file, or a file system mounted read-only
    DiskFull, // also over the user's quota, or a file too large for the file system
    NameTooLong,
    BadName,
    DiskFailed, // the disk's own failure, or one the system gave no reason for
    InUse,
    TooManyOpen,
    NoMemory,
    LinkLoop,
    TooLarge, // more than the reader takes
    Other,
};

struct FileResult
{
    FileError error = FileError::None;
    // The system's own text for the failure ("Permission denied"), empty when
    // the program found it by itself.
    QString systemText;

    bool ok() const { return error == FileError::None; }
    bool operator==(const FileResult &) const = default;
};

// What the program was doing when the system refused.
enum class FileUse { Read, Write };

// The failure an errno value stands for, with the system's text for it.
FileResult systemFailure(int errorNumber, FileUse use = FileUse::Write);

// What is at a path, a link itself not followed. Unknown: the system would
// not say (a folder on the way this process may not enter).
enum class EntryKind { Nothing, File, Folder, Link, Other, Unknown };

struct Entry
{
    EntryKind kind = EntryKind::Nothing;
    // For a link: what it leads to (Nothing when it leads nowhere); else kind.
    EntryKind target = EntryKind::Nothing;
    // For a link: the path it names, as written in it; empty else.
    QString linkTarget;
    // Whether this process may read it (what a link names, for a link).
    bool processReads = false;
    // Whether the owner may write it (on Windows: no read-only mark) and whether
    // this process may (never a file without any write permission, also for
    // the administrator): a file is writable for the program only with both.
    bool ownerWrites = false;
    bool processWrites = false;
    // The owner's user id; 0 on Windows, where files carry no such number.
    uint ownerId = 0;
    // Who may read, write and enter it (of what a link names, for a link).
    QFile::Permissions permissions;
};
Entry entryAt(const QString &path);

// Whether folder is a folder (or a link to one) its owner may write and this
// process too: the program's files may be kept in it.
bool isWritableFolder(const QString &folder);

// Opens an existing regular file (or a link to one) for reading, or with
// QIODevice::ReadWrite for writing in place (never created, never truncated).
// A folder, FIFO, device or socket is NotAFile.
FileResult openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode = QIODevice::ReadOnly);
// The content of an open file up to maxBytes + 1 bytes (more than maxBytes:
// too large), without setting aside room for more than the file holds.
QByteArray readUpTo(QFile &file, qint64 maxBytes);
// The whole regular file at path into bytes; TooLarge beyond maxBytes.
FileResult readRegularFile(const QString &path, qint64 maxBytes, QByteArray &bytes);

// Whether path may be written or replaced: nothing there, a link (which a
// write replaces), or a regular file that its owner and this process may write.
// Where the system would not look, the write itself finds out why.
FileResult mayReplace(const QString &path);

// What to do when the folder of an existing file takes no new files, so that
// no file can be written beside it.
enum class ClosedFolder {
    Fail,
    // Rewrite the file itself (QSaveFile's direct write), after making sure
    // of room for the new content.
    RewriteInPlace,
};

// Replaces the file at path by bytes, or creates it, in one step (QSaveFile:
// every write and the final flush checked before the new file takes the old
// one's place). On failure the earlier file, or the link, is left as it was.
// A new file gets the permissions the user's umask gives; a replaced one keeps
// its own. The rules above hold: mayReplace(path) is asked first.
FileResult writeFile(const QString &path, const QByteArray &bytes, ClosedFolder closedFolder = ClosedFolder::Fail);

// Removes the file or link at path (never what a link names); ok when nothing is there.
FileResult removeFile(const QString &path);

} // namespace platform
