#pragma once

#include "core/AtariBook.h"

#include <QList>
#include <QString>

// The book of won cards read straight from its file with SQLite, for the login
// reminder: it starts at every login and must not wait for Qt's SQL driver to
// be found and loaded. Reads only, never writes, makes no file beside the book
// and takes no lock a writer would wait for.
namespace BookFile {

// What AtariBook::pendingDraws() gives for the book at path, by the same
// query. Empty when the file is missing, is no book, is damaged, is of a
// newer version or cannot be read.
QList<PendingDraw> PendingDraws(const QString &path);

} // namespace BookFile
