#include "platform/http.h"
#include "platform/module.h"

namespace platform {

void TransferControl::cancel()
{
    if (m_cancelled)
        return;
    m_cancelled = true;
    if (m_running)
        m_running->stop();
    emit cancelled();
}

DeferredHttpTransfer::DeferredHttpTransfer(const QString &modulePath)
    : m_module(std::make_unique<Module<HttpTransfer>>(modulePath))
{ }

DeferredHttpTransfer::~DeferredHttpTransfer() = default;

HttpTransfer::Result DeferredHttpTransfer::transfer(const QString &url, TransferControl *control)
{
    if (HttpTransfer *http = m_module->get())
        return http->get(url, control);
    Result result;
    result.error = QStringLiteral("the program's network module is missing or refused");
    return result;
}

} // namespace platform
