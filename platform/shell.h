#pragma once

#include "platform/service.h"

#include <QString>

namespace platform {

// Asks the desktop to open a document, a folder or a web address with the
// program the user has chosen for it. The result is not reported.
class Shell
{
public:
    virtual ~Shell() = default;
    // target: an absolute file path or an address such as "http://...".
    virtual void open(const QString &target) = 0;
};

// QDesktopServices: files and folders by their path, addresses as given.
class DesktopShell final : public Shell
{
public:
    void open(const QString &target) override;
};

} // namespace platform
