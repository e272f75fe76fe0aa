#pragma once

#include "platform/programfolder.h"

namespace platform {

class FakeProgramFolder final : public ProgramFolder
{
public:
    explicit FakeProgramFolder(QString path = {})
        : path(std::move(path))
    { }
    QString rawPath() const override { return path; }
    QString path;
};

} // namespace platform
