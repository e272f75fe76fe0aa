#pragma once

#include "core/Outcome.h"

#include <QByteArray>
#include <QString>

// Safety rules and storage for new data files, downloaded or typed in: a title
// becomes a file name in the data folder, so it must be a plain name, and a
// new file replaces an earlier one only once it has been wholly written.
namespace modNengajo {

// Whether text reads as it is stored, on one line: valid UTF-16 without a
// control or format character (such as U+202E, which turns what follows it
// around, or CR and LF) or a line or paragraph separator (U+2028, U+2029).
// A title and a data file's card type and year must be such text.
bool IsOneLineText(const QString &text);

// Whether title + ".xml" is a plain file name inside one folder: not empty,
// not beginning with "." (so neither "." nor ".."), one-line text
// (IsOneLineText) without "/", "\" or any of :*?"<>|, no name of a device
// of Windows (IsWindowsDeviceName), and short enough for the file system (at
// most 255 bytes in UTF-8). The one rule for every title: downloads, the
// editor, an added file and the published site.
bool IsSafeDataTitle(const QString &title);
// Whether Windows takes a file of this name for a device (CON, PRN, AUX, NUL,
// COM0 to COM9, LPT0 to LPT9, CONIN$, CONOUT$), in any letter case and
// whatever extension follows: writing it would write to the device.
bool IsWindowsDeviceName(const QString &name);
// What makes two names of data files one file: the same text once both are
// composed alike (NFC) and case-folded. A file system may hold the two as
// two files (Linux) or as one (Windows, macOS); the program never keeps both.
QString DataTitleKey(const QString &name);
// The name of the file in the data folders that is one with fileName
// (DataTitleKey), fileName itself when it is there; empty when none is.
QString ExistingDataFileName(const QString &fileName);
// name with each character a file name cannot hold (a control character, "/",
// "\" or any of :*?"<>|) turned into "_".
QString FileNameOf(QString name);

// How storing a data file ended. The words: for NotADataFile, what is wrong
// with the bytes (CheckDataBytes); for a write that failed, why
// (platform::writeFile).
enum class DataStored {
    Stored,
    // The bytes make no data file the program can use; nothing was written.
    NotADataFile,
    // No file could be written: the title or the folder cannot hold one, or
    // the writing failed.
    NotWritten,
};

// Stores a data file, a download or one typed in, as dataFolder + title +
// ".xml": only bytes that pass CheckDataBytes (checked in memory, before
// anything is written), through the program's one checked writer
// (platform::writeFile). On failure nothing is left behind and an earlier
// file of that name is kept byte for byte. A file of dataFolder that is one
// with the title (DataTitleKey) is the one replaced; a new file takes the
// title composed (NFC). dataFolder ends with a separator; it must exist (it
// is never created).
Outcome<DataStored> StoreDataFile(const QString &dataFolder, const QString &title, const QByteArray &bytes);

// Points the list fetch at another address while it lives (tests run their
// own server on 127.0.0.1); the built-in download server comes back afterwards.
class ScopedListDocumentUrl
{
public:
    explicit ScopedListDocumentUrl(const QString &url);
    ~ScopedListDocumentUrl();
    ScopedListDocumentUrl(const ScopedListDocumentUrl &) = delete;
    ScopedListDocumentUrl &operator=(const ScopedListDocumentUrl &) = delete;

private:
    QString m_previous;
};

} // namespace modNengajo
