#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace platform {

enum class RegularFile {
    Opened,
    Missing, // nothing of that name
    NotAFile, // a folder, FIFO, device or socket: never opened for real
    Failed, // there, but the system refused to open it
};

// Opens an existing regular file (or a link to one) for reading, or for writing
// in place (never created, never truncated), as file. Anything else is refused
// before it is waited on: opening a FIFO would wait for its other end forever.
RegularFile openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode);

// The content of an open file up to maxBytes + 1 bytes (more than maxBytes:
// too large), without setting aside room for more than the file holds.
QByteArray readUpTo(QFile &file, qint64 maxBytes);

} // namespace platform
