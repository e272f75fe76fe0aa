// The module modules/harovan_network.so: Qt's network access, loaded at the
// program's first transfer.
#include "platform/http.h"

namespace platform {

namespace {

class QtHttpModule final : public QObject, public HttpTransfer
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID HAROVAN_HTTP_TRANSFER_IID)
    Q_INTERFACES(platform::HttpTransfer)

protected:
    Result transfer(const QString &url, TransferControl *control) override { return m_http.get(url, control); }

private:
    QtHttpTransfer m_http;
};

} // namespace

} // namespace platform

#include "http_module.moc"
