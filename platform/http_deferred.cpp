#include "platform/http.h"
#include "platform/module.h"

#include <QEventLoop>
#include <QPointer>

#include <optional>

namespace platform {

std::unique_ptr<RunningTransfer> endedTransfer(TransferWatch *watch, const HttpResult &result)
{
    watch->transferEnded(result);
    return std::make_unique<RunningTransfer>();
}

void TransferControl::cancel()
{
    if (m_cancelled)
        return;
    m_cancelled = true;
    // The waiting get() ends its transfer when it hears this.
    emit cancelled();
}

HttpResult HttpTransfer::get(const QString &url, TransferControl *control)
{
    const HttpResult cancelled {false, {}, QStringLiteral("cancelled"), 0, true};
    if (control && control->isCancelled())
        return cancelled;

    struct Waiter final : TransferWatch
    {
        QEventLoop loop;
        QPointer<TransferControl> control;
        std::optional<HttpResult> result;

        void reportProgress(qint64 received, qint64 total) override
        {
            if (control)
                control->reportProgress(received, total);
        }
        void transferEnded(const HttpResult &ended) override
        {
            result = ended;
            loop.quit();
        }
    } waiter;
    waiter.control = control;

    std::unique_ptr<RunningTransfer> running = start(url, &waiter);
    if (!waiter.result) {
        if (control)
            QObject::connect(control, &TransferControl::cancelled, &waiter.loop, &QEventLoop::quit);
        waiter.loop.exec(control ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    }
    // A cancel, or the application quitting (which ends every event loop),
    // ends the transfer with the wait.
    running.reset();
    return waiter.result.value_or(cancelled);
}

DeferredHttpTransfer::DeferredHttpTransfer(const QString &modulePath)
    : m_module(std::make_unique<Module<HttpTransfer>>(modulePath))
{ }

DeferredHttpTransfer::~DeferredHttpTransfer() = default;

std::unique_ptr<RunningTransfer> DeferredHttpTransfer::start(const QString &url, TransferWatch *watch)
{
    if (HttpTransfer *http = m_module->get())
        return http->start(url, watch);
    return endedTransfer(watch, {false, {}, QStringLiteral("the program's network module is missing or refused")});
}

} // namespace platform
