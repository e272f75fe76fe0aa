#pragma once

#include "platform/shell.h"

#include <QStringList>

namespace platform {

class FakeShell final : public Shell
{
public:
    void open(const QString &target) override { opened.append(target); }
    QStringList opened;
};

} // namespace platform
