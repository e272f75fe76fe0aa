#include "platform/stoprequest.h"

// Windows sends no stop signals: its logout reaches the program as window
// messages, which Qt handles. Nothing to watch.
namespace platform {

StopRequestWatcher::StopRequestWatcher(std::function<void()> onStop, QObject *parent)
    : QObject(parent)
    , m_onStop(std::move(onStop))
{ }

StopRequestWatcher::~StopRequestWatcher() = default;

bool stopRequested()
{
    return false;
}

} // namespace platform
