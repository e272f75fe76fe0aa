// The module modules/harovan_network.so: the transfers on libcurl, loaded at
// the program's first transfer.
#include "platform/http.h"

namespace platform {

namespace {

class HttpModule final : public QObject, public HttpTransfer
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID HAROVAN_HTTP_TRANSFER_IID)
    Q_INTERFACES(platform::HttpTransfer)

public:
    std::unique_ptr<RunningTransfer> start(const QString &url, TransferWatch *watch) override
    {
        return m_http.start(url, watch);
    }

private:
    CurlHttpTransfer m_http;
};

} // namespace

} // namespace platform

#include "http_module.moc"
