#include "platform/http.h"

#include <QNetworkProxyFactory>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>

#include <curl/curl.h>

#include <array>
#include <map>
#include <optional>
#include <span>
#include <utility>

namespace platform {

namespace {

// What a server may send before its body, per answer: a server that sends
// headers without end is cut off here, as they arrive.
constexpr qint64 MaxHeadBytes = 64 * 1024;
constexpr int MaxHeaderLines = 100;

template <auto Cleanup> struct Deleter
{
    template <typename T> void operator()(T *handle) const { Cleanup(handle); }
};

// The address as it is requested: a blank, a lone "%" or any other character
// an address cannot carry as it is gets percent-encoded, as raw Japanese text
// does; what is encoded already stays so. Absolute http and https only.
std::optional<QUrl> requestAddress(const QString &text)
{
    QUrl url(text, QUrl::TolerantMode);
    url.setFragment({});
    if (!url.isValid() || (url.scheme() != u"http" && url.scheme() != u"https") || url.host().isEmpty())
        return std::nullopt;
    return url;
}

HttpResult failure(const QString &error, long status = 0)
{
    return {false, {}, error, status};
}

// The proxy the environment names for address, as libcurl reads it: the
// scheme's own variable (https_proxy or HTTPS_PROXY; for http only the
// lower-case http_proxy), then all_proxy or ALL_PROXY; for https last of all
// http_proxy, as Qt has read it before. The variable's name and its value;
// none when it names none.
std::optional<std::pair<const char *, QByteArray>> environmentProxy(const QUrl &address)
{
    static constexpr std::array ForHttps {"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "http_proxy"};
    static constexpr std::array ForHttp {"http_proxy", "all_proxy", "ALL_PROXY"};
    const bool secure = address.scheme() == u"https";
    for (const char *name : secure ? std::span<const char *const>(ForHttps) : std::span<const char *const>(ForHttp)) {
        if (QByteArray value = qgetenv(name).trimmed(); !value.isEmpty())
            return std::pair(name, std::move(value));
    }
    return std::nullopt;
}

// Why libcurl cannot go through proxy (as an address, with or without its
// scheme), or empty when it can: a proxy the user names is used or the
// transfer fails, never is it passed by.
QString unusableProxy(const char *variable, const QByteArray &proxy)
{
    const qsizetype end = proxy.indexOf("://");
    const QByteArray scheme = end < 0 ? QByteArray("http") : proxy.left(end).toLower();
    const bool https = scheme == "https";
    if (https && !(curl_version_info(CURLVERSION_NOW)->features & CURL_VERSION_HTTPS_PROXY))
        return QStringLiteral("the proxy in %1 is reached over https, which this libcurl cannot do")
            .arg(QLatin1StringView(variable));
    for (const char *known : {"http", "https", "socks4", "socks4a", "socks5", "socks5h"}) {
        if (scheme == known)
            return {};
    }
    return QStringLiteral("the proxy in %1 is of a kind this program cannot use: %2")
        .arg(QLatin1StringView(variable), QString::fromLatin1(scheme));
}

// One GET under the options' limits, with a connection pool of its own that
// goes with it: deleting it closes its connections at once, and nothing of it
// runs on afterwards. libcurl runs in the program's event loop, woken by the
// sockets it names and the timer it asks for. The watch is told only outside
// libcurl's calls, as the last thing a handler does: it may delete the transfer.
class CurlRunningTransfer final : public QObject, public RunningTransfer
{
public:
    CurlRunningTransfer(const CurlHttpTransfer::Options &options, TransferWatch *watch);
    ~CurlRunningTransfer() override;

    void request(const QUrl &address);
    // The proxy of the desktop's settings, as Qt reads them.
    void useDesktopProxy(const QUrl &address);
    // Ends it before any request; told once the caller holds the transfer, as every other end is.
    void refuse(const HttpResult &result);

private:
    static int onSocket(CURL *, curl_socket_t socket, int what, void *self, void *);
    static int onTimer(CURLM *, long timeoutMs, void *self);
    static size_t onHeader(char *data, size_t size, size_t count, void *self);
    static size_t onBody(char *data, size_t size, size_t count, void *self);
    static void dropLater(std::unique_ptr<QSocketNotifier> &notifier);
    // Stops libcurl at a limit of the program's own: the transfer fails with why.
    size_t stop(const QString &why);

    void act(curl_socket_t socket, int events);
    HttpResult outcome(CURLcode code);
    void end(const HttpResult &result);

    const CurlHttpTransfer::Options m_options;
    TransferWatch *const m_watch;
    std::unique_ptr<CURLM, Deleter<curl_multi_cleanup>> m_multi;
    std::unique_ptr<CURL, Deleter<curl_easy_cleanup>> m_easy;
    // Per socket, its notifiers for reading and for writing (in the order of
    // CURL_CSELECT_IN and CURL_CSELECT_OUT), each while libcurl waits for that.
    std::map<curl_socket_t, std::array<std::unique_ptr<QSocketNotifier>, 2>> m_sockets;
    QTimer m_curlTimer; // the wake-up libcurl asks for
    QTimer m_stallTimer;
    QByteArray m_body;
    qint64 m_reported = -1;
    qint64 m_headBytes = 0;
    int m_headLines = 0;
    QByteArray m_contentLength; // of the answer whose headers arrive
    QString m_stopped; // why a limit of the program's own stopped libcurl
    char m_errorText[CURL_ERROR_SIZE] = {};
    bool m_ended = false;
};

CurlRunningTransfer::CurlRunningTransfer(const CurlHttpTransfer::Options &options, TransferWatch *watch)
    : m_options(options)
    , m_watch(watch)
    , m_multi(curl_multi_init())
    , m_easy(curl_easy_init())
{
    m_curlTimer.setSingleShot(true);
    connect(&m_curlTimer, &QTimer::timeout, this, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
    m_stallTimer.setSingleShot(true);
    m_stallTimer.setInterval(int(options.stallTimeoutMs));
    connect(&m_stallTimer, &QTimer::timeout, this,
        [this] { end(failure(QStringLiteral("nothing arrived for %1 ms").arg(m_options.stallTimeoutMs))); });
}

CurlRunningTransfer::~CurlRunningTransfer()
{
    if (m_multi && m_easy)
        curl_multi_remove_handle(m_multi.get(), m_easy.get());
    m_easy.reset();
    // Closes the connections; libcurl lets go of its sockets before their notifiers go.
    m_multi.reset();
    for (auto &[socket, notifiers] : m_sockets) {
        for (std::unique_ptr<QSocketNotifier> &notifier : notifiers)
            dropLater(notifier);
    }
}

void CurlRunningTransfer::refuse(const HttpResult &result)
{
    m_ended = true;
    QTimer::singleShot(0, this, [this, result] { m_watch->transferEnded(result); });
}

void CurlRunningTransfer::request(const QUrl &address)
{
    CURL *easy = m_easy.get();
    if (!m_multi || !easy) {
        refuse(failure(QStringLiteral("libcurl could not start a transfer")));
        return;
    }
    const QByteArray url = address.toEncoded();
    curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, m_options.maxRedirects);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Harovan");
    // The bytes as the server holds them: nothing is asked compressed, nothing decoded.
    curl_easy_setopt(easy, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, m_options.connectTimeoutMs);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, m_options.totalTimeoutMs);
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(m_options.maxBodyBytes));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // Closed when its answer ends: nothing half-read waits in a pool.
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, m_errorText);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &CurlRunningTransfer::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlRunningTransfer::onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    // Schannel, Windows' TLS, trusts Windows' own certificate store and asks
    // each issuer whether the certificate is revoked; where no answer comes (a
    // network that blocks the issuer's list, Wine) it would refuse every
    // server, so only a certificate known to be revoked is refused. The other
    // TLS libraries ask no issuer and pass the option by.
    curl_easy_setopt(easy, CURLOPT_SSL_OPTIONS, long(CURLSSLOPT_REVOKE_BEST_EFFORT));

    // A proxy the environment names goes to libcurl as it is: libcurl reads
    // its kind, its credentials and no_proxy as it always does.
    if (const auto named = environmentProxy(address)) {
        if (const QString why = unusableProxy(named->first, named->second); !why.isEmpty()) {
            refuse(failure(why));
            return;
        }
        curl_easy_setopt(easy, CURLOPT_PROXY, named->second.constData());
    } else {
        useDesktopProxy(address);
    }

    curl_multi_setopt(m_multi.get(), CURLMOPT_SOCKETFUNCTION, &CurlRunningTransfer::onSocket);
    curl_multi_setopt(m_multi.get(), CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(m_multi.get(), CURLMOPT_TIMERFUNCTION, &CurlRunningTransfer::onTimer);
    curl_multi_setopt(m_multi.get(), CURLMOPT_TIMERDATA, this);
    m_stallTimer.start();
    curl_multi_add_handle(m_multi.get(), easy);
}

void CurlRunningTransfer::useDesktopProxy(const QUrl &address)
{
    CURL *easy = m_easy.get();
    const QList<QNetworkProxy> proxies = QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(address));
    const QNetworkProxy proxy = proxies.isEmpty() ? QNetworkProxy(QNetworkProxy::NoProxy) : proxies.constFirst();
    const QNetworkProxy::ProxyType type = proxy.type();
    const QString scheme = type == QNetworkProxy::HttpProxy || type == QNetworkProxy::HttpCachingProxy
        ? QStringLiteral("http")
        : (type == QNetworkProxy::Socks5Proxy ? QStringLiteral("socks5h") : QString());
    if (scheme.isEmpty()) {
        // None: libcurl reads no proxy of its own either.
        curl_easy_setopt(easy, CURLOPT_PROXY, "");
        return;
    }
    QUrl proxyAddress;
    proxyAddress.setScheme(scheme);
    proxyAddress.setHost(proxy.hostName());
    proxyAddress.setPort(proxy.port());
    curl_easy_setopt(easy, CURLOPT_PROXY, proxyAddress.toEncoded().constData());
    // Credentials only where the settings carry them: an empty pair would
    // still be sent, as "Proxy-Authorization: Basic Og==", to every proxy.
    if (!proxy.user().isEmpty() || !proxy.password().isEmpty()) {
        curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, proxy.user().toUtf8().constData());
        curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, proxy.password().toUtf8().constData());
    }
}

// libcurl's wishes use the bits of its events: CURL_POLL_INOUT holds both,
// CURL_POLL_REMOVE neither.
static_assert(CURL_POLL_IN == CURL_CSELECT_IN && CURL_POLL_OUT == CURL_CSELECT_OUT);

int CurlRunningTransfer::onSocket(CURL *, curl_socket_t socket, int what, void *self, void *)
{
    auto *transfer = static_cast<CurlRunningTransfer *>(self);
    auto &notifiers = transfer->m_sockets[socket];
    for (const int event : {CURL_CSELECT_IN, CURL_CSELECT_OUT}) {
        std::unique_ptr<QSocketNotifier> &notifier = notifiers[event == CURL_CSELECT_IN ? 0 : 1];
        if (!(what & event)) {
            dropLater(notifier);
        } else if (!notifier) {
            notifier = std::make_unique<QSocketNotifier>(
                qintptr(socket), event == CURL_CSELECT_IN ? QSocketNotifier::Read : QSocketNotifier::Write);
            connect(notifier.get(), &QSocketNotifier::activated, transfer,
                [transfer, socket, event] { transfer->act(socket, event); });
        }
    }
    if (what == CURL_POLL_REMOVE)
        transfer->m_sockets.erase(socket);
    return 0;
}

// A notifier may go while it is telling of its socket.
void CurlRunningTransfer::dropLater(std::unique_ptr<QSocketNotifier> &notifier)
{
    if (!notifier)
        return;
    notifier->setEnabled(false);
    notifier.release()->deleteLater();
}

int CurlRunningTransfer::onTimer(CURLM *, long timeoutMs, void *self)
{
    auto *transfer = static_cast<CurlRunningTransfer *>(self);
    timeoutMs < 0 ? transfer->m_curlTimer.stop() : transfer->m_curlTimer.start(int(timeoutMs));
    return 0;
}

// Every line of every answer, its status line and the blank line that ends
// its headers included.
size_t CurlRunningTransfer::onHeader(char *data, size_t size, size_t count, void *self)
{
    auto *transfer = static_cast<CurlRunningTransfer *>(self);
    // libcurl always gives size 1: the product is the count of bytes.
    const size_t total = size * count;
    const qint64 bytes = qint64(total);
    const QByteArrayView line(data, bytes);
    // The blank line: the next answer counts afresh.
    if (line == "\r\n" || line == "\n") {
        transfer->m_headBytes = 0;
        transfer->m_headLines = 0;
        transfer->m_contentLength.clear();
        return size_t(bytes);
    }
    transfer->m_headBytes += bytes;
    // The status line comes first.
    if (++transfer->m_headLines > MaxHeaderLines + 1)
        return transfer->stop(QStringLiteral("the server sent more than %1 header lines").arg(MaxHeaderLines));
    if (transfer->m_headBytes > MaxHeadBytes)
        return transfer->stop(QStringLiteral("the server's headers are longer than %1 bytes").arg(MaxHeadBytes));
    // libcurl 7.88 reads the body by the last of two Content-Length headers
    // that disagree: which one the server meant nobody can tell.
    constexpr QByteArrayView lengthName = "content-length:";
    if (line.size() > lengthName.size()
        && line.first(lengthName.size()).compare(lengthName, Qt::CaseInsensitive) == 0) {
        const QByteArray length = line.sliced(lengthName.size()).trimmed().toByteArray();
        if (!transfer->m_contentLength.isNull() && length != transfer->m_contentLength)
            return transfer->stop(QStringLiteral("the server sent a Content-Length that is not one number"));
        transfer->m_contentLength = length;
    }
    // An interim answer ("100 Continue") is no answer: the stall limit runs on.
    long status = 0;
    curl_easy_getinfo(transfer->m_easy.get(), CURLINFO_RESPONSE_CODE, &status);
    if (status >= 200)
        transfer->m_stallTimer.start();
    return size_t(bytes);
}

// The cap holds also when the server sends no Content-Length.
size_t CurlRunningTransfer::onBody(char *data, size_t size, size_t count, void *self)
{
    auto *transfer = static_cast<CurlRunningTransfer *>(self);
    // libcurl always gives size 1: the product is the count of bytes.
    const size_t total = size * count;
    const qint64 bytes = qint64(total);
    if (bytes > transfer->m_options.maxBodyBytes - transfer->m_body.size())
        return transfer->stop(QStringLiteral("the body is larger than %1 bytes").arg(transfer->m_options.maxBodyBytes));
    transfer->m_body.append(data, bytes);
    transfer->m_stallTimer.start();
    return size_t(bytes);
}

size_t CurlRunningTransfer::stop(const QString &why)
{
    m_stopped = why;
    return 0;
}

void CurlRunningTransfer::act(curl_socket_t socket, int events)
{
    if (m_ended)
        return;
    int running = 0;
    curl_multi_socket_action(m_multi.get(), socket, events, &running);
    int queued = 0;
    while (CURLMsg *message = curl_multi_info_read(m_multi.get(), &queued)) {
        if (message->msg == CURLMSG_DONE) {
            end(outcome(message->data.result));
            return;
        }
    }
    // Every arrival is told at once.
    if (m_body.size() != m_reported) {
        m_reported = m_body.size();
        curl_off_t total = -1;
        curl_easy_getinfo(m_easy.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &total);
        m_watch->reportProgress(m_reported, qint64(total));
    }
}

HttpResult CurlRunningTransfer::outcome(CURLcode code)
{
    long status = 0;
    curl_easy_getinfo(m_easy.get(), CURLINFO_RESPONSE_CODE, &status);
    if (!m_stopped.isNull())
        return failure(m_stopped, status);
    if (code == CURLE_FILESIZE_EXCEEDED)
        return failure(QStringLiteral("the body is larger than %1 bytes").arg(m_options.maxBodyBytes), status);
    if (code == CURLE_TOO_MANY_REDIRECTS)
        return failure(QStringLiteral("more than %1 redirects").arg(m_options.maxRedirects), status);
    if (code != CURLE_OK) {
        const QString detail = QString::fromLocal8Bit(m_errorText);
        return failure(QString::fromLatin1(curl_easy_strerror(code))
                + (detail.isEmpty() ? QString() : QStringLiteral(": ") + detail),
            status);
    }
    // A final answer that is neither a success nor followed (a redirect
    // without a target, for one) is no document either.
    if (status < 200 || status > 299)
        return failure(QStringLiteral("unexpected HTTP status %1").arg(status), status);
    return {true, std::move(m_body), {}, status};
}

void CurlRunningTransfer::end(const HttpResult &result)
{
    if (m_ended)
        return;
    m_ended = true;
    m_curlTimer.stop();
    m_stallTimer.stop();
    // The connection closes now, not only when the transfer is deleted.
    curl_multi_remove_handle(m_multi.get(), m_easy.get());
    m_watch->transferEnded(result);
}

} // namespace

CurlHttpTransfer::CurlHttpTransfer()
    : CurlHttpTransfer(Options {})
{ }

CurlHttpTransfer::CurlHttpTransfer(const Options &options)
    : m_options(options)
{
    // Once for the process, and never undone: a transfer may outlive this object.
    static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
    Q_UNUSED(initialised);
}

CurlHttpTransfer::~CurlHttpTransfer() = default;

std::unique_ptr<RunningTransfer> CurlHttpTransfer::start(const QString &url, TransferWatch *watch)
{
    auto transfer = std::make_unique<CurlRunningTransfer>(m_options, watch);
    if (const std::optional<QUrl> address = requestAddress(url))
        transfer->request(*address);
    else
        transfer->refuse(failure(QStringLiteral("not an http or https address: ") + url));
    return transfer;
}

} // namespace platform
