#include "platform/stoprequest.h"

#include <QSocketNotifier>

#include <atomic>

#include <array>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

std::atomic<bool> g_stopRequested {false};
static_assert(std::atomic<bool>::is_always_lock_free, "set in a signal handler");

// The signal handler may only write to a descriptor; the event loop reads it.
int g_stopSocket[2] = {-1, -1};
constexpr std::array<int, 3> StopSignals {SIGTERM, SIGINT, SIGHUP};
std::array<struct sigaction, StopSignals.size()> g_previous {};

extern "C" void onStopSignal(int)
{
    g_stopRequested.store(true, std::memory_order_relaxed);
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_stopSocket[0], &byte, 1);
}

} // namespace

StopRequestWatcher::StopRequestWatcher(std::function<void()> onStop, QObject *parent)
    : QObject(parent)
    , m_onStop(std::move(onStop))
{
    if (g_stopSocket[0] != -1
        || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_stopSocket) != 0)
        return;
    m_watching = true;
    g_stopRequested = false;
    auto *notifier = new QSocketNotifier(g_stopSocket[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const auto read = ::read(g_stopSocket[1], &byte, 1);
        m_onStop();
    });
    struct sigaction action
    { };
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < StopSignals.size(); ++i)
        ::sigaction(StopSignals[i], &action, &g_previous[i]);
}

StopRequestWatcher::~StopRequestWatcher()
{
    if (!m_watching)
        return;
    for (std::size_t i = 0; i < StopSignals.size(); ++i)
        ::sigaction(StopSignals[i], &g_previous[i], nullptr);
    ::close(g_stopSocket[0]);
    ::close(g_stopSocket[1]);
    g_stopSocket[0] = g_stopSocket[1] = -1;
    g_stopRequested = false;
}

bool stopRequested()
{
    return g_stopRequested.load(std::memory_order_relaxed);
}

} // namespace platform
