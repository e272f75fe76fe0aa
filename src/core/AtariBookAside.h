#pragma once

#include "core/Outcome.h"

#include <QDate>
#include <QString>

// A book that cannot be used, kept aside beside where it was once the user
// agrees to start a new one.
namespace BookAside {

// The name the file at path is kept under today: "atari.db.damaged-YYYYMMDD",
// with "-2", "-3", ... when that is taken.
QString Name(const QString &path, const QDate &today);

// Moves the file at path (a link itself, never its target) and the journal
// SQLite keeps beside it under Name(). A side file of another database
// (stranger: "-journal" or "-wal") goes under that name with ".other" added,
// so that SQLite never reads it into the kept file. On failure everything is
// where it was.
Outcome<> Keep(const QString &path, const QDate &today, const QString &stranger = {});

} // namespace BookAside
