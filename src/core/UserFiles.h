#pragma once

#include <QString>
#include <QStringList>

// Where the files the program writes go, decided over what the platform
// reports of the program folder (platform/programfolder.h). While the program
// folder can be written (a build folder, a copied folder, an install into the
// user's home) everything lies in it as ever; when it cannot, settings.ini,
// the book and new data files go to the user's folder, and nothing is written
// into the program folder. These functions are the one place that decides;
// windows ask them.
namespace UserFiles {

// Whether settings.ini and new data files are kept in the program folder.
// A folder whose owner may not write it counts as read-only for everyone,
// the administrator included; so does one of the shared system trees.
bool programFolderKeepsUserFiles();
// Whether folder lies in /usr or /opt, which hold programs for every user of
// the machine and which programs never write into (the administrator's
// settings do not belong there either).
bool isSharedSystemFolder(const QString &folder);
// The path of settings.ini to read.
QString settingsPath();
// The path of settings.ini to write; the user's folder is created when missing.
QString settingsPathForWriting();
// The book of won cards, atari.db, beside settings.ini. Its folder is made by
// whoever first writes the book (platform::makeFolder).
QString bookPath();
// The folder new data files (downloaded or entered) are written to, with a
// trailing separator: the program's data folder, or the user's, created when
// missing (empty when it cannot be created).
QString newDataFolder();
// The folders data files are listed and loaded from, first wins: the user's
// data folder (when the program folder is read-only), then the program's.
QStringList dataFolders();
// The path a data file of this bare name is loaded from: in the first of
// dataFolders() that holds it; else in the first of them that exists.
QString dataFilePath(const QString &name);
// The names of the files in any of dataFolders() ending in suffix (matched
// case-sensitively), each name once, sorted.
QStringList dataFileNames(const QString &suffix);

} // namespace UserFiles
