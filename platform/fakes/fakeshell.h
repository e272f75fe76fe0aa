#pragma once

#include "platform/shell.h"

#include <QStringList>

namespace platform {

// Records every target; nothing opens them while fails is set.
class FakeShell final : public Shell
{
public:
    void open(const QString &target, std::function<void()> notOpened) override
    {
        opened.append(target);
        if (fails)
            notOpened();
    }
    QStringList opened;
    bool fails = false;
};

} // namespace platform
