#include "platform/http.h"
#include "platform/module.h"

namespace platform {

void TransferControl::cancel()
{
    if (m_cancelled)
        return;
    m_cancelled = true;
    emit cancelled();
}

struct DeferredHttpTransfer::Impl
{
    explicit Impl(const QString &modulePath)
        : module(modulePath, CreateHttpSymbol)
    { }
    Module<HttpTransfer> module;
};

DeferredHttpTransfer::DeferredHttpTransfer(const QString &modulePath)
    : d(std::make_unique<Impl>(modulePath))
{ }

DeferredHttpTransfer::~DeferredHttpTransfer() = default;

HttpTransfer::Result DeferredHttpTransfer::transfer(const QString &url, TransferControl *control)
{
    if (HttpTransfer *http = d->module.get())
        return http->get(url, control);
    Result result;
    result.error = QStringLiteral("the program's network module is missing");
    return result;
}

} // namespace platform
