#pragma once

#include "platform/programfolder.h"

namespace platform {

class FakeProgramFolder final : public ProgramFolder
{
public:
    explicit FakeProgramFolder(QString path = {}, QString userPath = {})
        : path(std::move(path))
        , userPath(std::move(userPath))
    { }
    QString rawPath() const override { return path; }
    QString userRawPath() const override { return userPath; }
    QString path;
    QString userPath;
};

} // namespace platform
