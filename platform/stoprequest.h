#pragma once

#include <QObject>

#include <functional>

namespace platform {

// Calls onStop on the event loop when the system asks the program to end
// (SIGTERM at shutdown or logout, SIGINT, SIGHUP), so that the program closes
// as if its window were closed and remembers what it must. One at a time;
// the handlers are put back when the watcher is destroyed.
class StopRequestWatcher : public QObject
{
    Q_OBJECT

public:
    explicit StopRequestWatcher(std::function<void()> onStop, QObject *parent = nullptr);
    ~StopRequestWatcher() override;

private:
    std::function<void()> m_onStop;
    bool m_watching = false;
};

// Whether the system has asked the program to end while the watcher watches:
// known at once, before the call on the event loop, so that long work that
// keeps the event loop waiting (a print, a save) stops on it.
bool stopRequested();

} // namespace platform
