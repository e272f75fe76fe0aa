#pragma once

#include "platform/service.h"

#include <QString>

namespace platform {

// The folder of the program's executable, where the program's own files lie
// (data/ with the schema and the bundled data files, atari.wav, ReadMe.html),
// and the user's own folder for what the program writes when it may not write
// beside itself (an install for every user of the machine).
class ProgramFolder
{
public:
    virtual ~ProgramFolder() = default;
    // The folder as the system reports it, with or without a trailing separator.
    virtual QString rawPath() const = 0;
    // The user's data folder (QStandardPaths::GenericDataLocation) + harovan,
    // normally ~/.local/share/harovan; it need not exist yet. Empty when the
    // user has no home folder to keep files in.
    virtual QString userRawPath() const = 0;
};

// The executable's folder (Qt's application directory) and the user's data
// folder as QStandardPaths gives it.
class RealProgramFolder final : public ProgramFolder
{
public:
    QString rawPath() const override;
    QString userRawPath() const override;
};

// The program folder with exactly one trailing separator, also at the root.
QString programFolder();
// programFolder() + "data" + separator: the schema and the data files that
// come with the program. Read from, never written to by a package install.
QString programDataFolder();
// The user's folder (userRawPath) with one trailing separator, or empty when
// there is none. Which of the two keeps the user's files is the core's to say
// (core/UserFiles.h).
QString userFolder();
// Creates folder and any missing folder above it, each new one private to the
// user; true when it then exists.
bool makeFolder(const QString &folder);

} // namespace platform
