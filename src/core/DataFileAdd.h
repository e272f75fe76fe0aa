#pragma once

#include "core/Outcome.h"

#include <QString>

#include <functional>

// A data file someone sent, added to the data folder from wherever it lies:
// checked as the card-type dialog checks its files, then copied under the
// name its card type and year give it, so the dialog lists it.

enum class DataFileAdded {
    Added, // copied into the folder new data files go to
    AlreadyThere, // the same bytes are there under that name: nothing copied
    Declined, // another file of that name stays, as the user said
    Refused, // nothing copied; the words say why
};

struct DataFileAdd : Outcome<DataFileAdded>
{
    // Added or AlreadyThere: the file's name in the data folder, with ".xml".
    QString fileName;

    bool listed() const { return code == DataFileAdded::Added || code == DataFileAdded::AlreadyThere; }
};

namespace modNengajo {

// The title a data file gets from its root's type and year, as the editor
// names the files it writes: "年賀状（令和9年度版）" for 令和9, "年賀状（平成28年度版）"
// for the digits alone (平成), the year as written otherwise.
QString DataFileTitle(const QString &strType, const QString &strYear);

// Adds the data file at path. Refused, in words, are: anything but a regular
// file (a FIFO, a device, a folder, a link to anything but a file), a file
// over platform::xml::MaxDocumentBytes, one that fails the program's schema or
// that the loader cannot read (with the line and column of the first error),
// and one whose title would not be a plain file name (IsSafeDataTitle). A
// different file already there under the title (DataTitleKey, in any data
// folder) is replaced only when replace(title) says yes. The copy goes
// through the program's one checked writer (WriteDataFile) into
// UserFiles::newDataFolder().
DataFileAdd AddDataFile(const QString &path, const std::function<bool(const QString &title)> &replace);

} // namespace modNengajo
