#pragma once

#include "platform/service.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

namespace platform {

// Asks the desktop to open a document, a folder or a web address with the
// program the user has chosen for it.
class Shell
{
public:
    virtual ~Shell() = default;
    // target: an absolute file path or an address such as "http://...".
    // notOpened runs on the program's thread, at once or a few seconds later,
    // when nothing could open target: no program to open it with was found,
    // or the one found gave up on it.
    virtual void open(const QString &target, std::function<void()> notOpened) = 0;
};

// Where there is the desktop's own opener xdg-open (the free desktops), it
// is given files by their path and addresses as they are. It may run the
// browser itself until the browser ends, so its answer is awaited only for
// answerTime: still running then, it has opened the target. Elsewhere
// QDesktopServices, which on Windows is the shell's "open" and answers at
// once whether a program took the target.
class DesktopShell final : public Shell
{
public:
    explicit DesktopShell(std::chrono::milliseconds answerTime = std::chrono::seconds(10));
    ~DesktopShell() override;
    void open(const QString &target, std::function<void()> notOpened) override;
    // Whether every opener started has ended.
    bool idle() const;

private:
    std::chrono::milliseconds m_answerTime;
    // The openers not yet ended.
    QObject m_openers;
};

} // namespace platform
