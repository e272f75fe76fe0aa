#include "platform/http.h"

namespace platform {

std::unique_ptr<RunningTransfer> endedTransfer(TransferWatch *watch, const HttpResult &result)
{
    watch->transferEnded(result);
    return std::make_unique<RunningTransfer>();
}

std::unique_ptr<RunningTransfer> RefusedTransfer::start(const QString &, TransferWatch *watch)
{
    return endedTransfer(watch, {false, {}, QStringLiteral("the program's network module is missing or refused")});
}

} // namespace platform
