// The module modules/harovan_network.so: the transfers on libcurl, loaded at
// the program's first transfer or once the window is up.
//
// Qt Network stays in it for one thing libcurl cannot do: read the desktop's
// proxy settings (QNetworkProxyFactory::systemProxyForQuery, which asks
// libproxy for GNOME's and KDE's settings and a PAC file on Linux, and
// WinINet on Windows). libcurl by itself knows only the http_proxy
// variables, which a desktop's proxy settings do not set. Every byte still
// travels through libcurl.
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
