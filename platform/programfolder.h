#pragma once

#include "platform/service.h"

#include <QString>

namespace platform {

// The folder of the program's executable. Every file the program touches
// (settings.ini, data/, atari.wav, ReadMe.html) is found from it.
class ProgramFolder
{
public:
    virtual ~ProgramFolder() = default;
    // The folder as the system reports it, with or without a trailing separator.
    virtual QString rawPath() const = 0;
};

// The executable's folder (Qt's application directory).
class RealProgramFolder final : public ProgramFolder
{
public:
    QString rawPath() const override;
};

// The program folder with exactly one trailing separator, also at the root.
QString programFolder();
// programFolder() + "data" + separator.
QString dataFolder();
// Adds one separator to a folder path unless it already ends with one.
QString withTrailingSeparator(const QString &folder);

} // namespace platform
