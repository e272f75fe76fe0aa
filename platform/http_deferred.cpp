#include "platform/http.h"
#include "platform/module.h"

namespace platform {

std::unique_ptr<RunningTransfer> endedTransfer(TransferWatch *watch, const HttpResult &result)
{
    watch->transferEnded(result);
    return std::make_unique<RunningTransfer>();
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
