#pragma once

#include "platform/service.h"

#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <vector>

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

// The desktop's own opener xdg-open, given files by their path and addresses
// as they are. It may run the browser itself until the browser ends, so its
// answer is awaited only for answerTime: still running then, it has opened
// the target. Without xdg-open, QDesktopServices, which looks for a browser of
// its own.
class DesktopShell final : public Shell
{
public:
    explicit DesktopShell(std::chrono::milliseconds answerTime = std::chrono::seconds(10));
    ~DesktopShell() override;
    void open(const QString &target, std::function<void()> notOpened) override;
    // Whether every opener started has ended and been collected.
    bool idle() const { return m_launches.empty(); }

private:
    struct Launch
    {
        int pid;
        std::chrono::steady_clock::time_point answerBy;
        std::function<void()> notOpened;
    };
    void collect();

    std::chrono::milliseconds m_answerTime;
    // Opener processes not yet ended; each is collected when it ends, also
    // after its answer time, so that none lingers as a zombie.
    std::vector<Launch> m_launches;
    QTimer m_poll;
};

} // namespace platform
