#include "platform/http.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <optional>

namespace platform {

namespace {

// What a server may send before its body. A server that sends headers without
// end is cut off here; it would otherwise keep the transfer reading them.
constexpr qint64 MaxHeadBytes = 64 * 1024;
constexpr int MaxHeaderLines = 100;
constexpr qint64 MaxChunkLineBytes = 1024;

bool isWebAddress(const QUrl &url)
{
    return url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https") && !url.host().isEmpty();
}

// The address as it is requested: a blank, a lone "%" or any other character
// an address cannot carry as it is gets percent-encoded, as raw Japanese text
// does; what is encoded already stays so. Absolute http and https only.
std::optional<QUrl> requestAddress(const QString &text)
{
    QUrl url(text, QUrl::TolerantMode);
    url.setFragment({});
    if (!isWebAddress(url))
        return std::nullopt;
    return url;
}

HttpTransfer::Result failure(const QString &error, long status = 0)
{
    HttpTransfer::Result result;
    result.error = error;
    result.httpStatus = status;
    return result;
}

HttpTransfer::Result cancelledResult(long status = 0)
{
    HttpTransfer::Result result = failure(QStringLiteral("cancelled"), status);
    result.cancelled = true;
    return result;
}

// Why the program itself ended an exchange before the server did.
enum class Stop { None, Cancelled, TooLarge, Stalled, ConnectTimeout, TotalTimeout };

// One request and its response; a redirect is a response like any other here.
struct Exchange
{
    Stop stop = Stop::None;
    QString error; // what failed in the connection or in the server's answer; empty when nothing did
    long status = 0;
    QByteArray location; // the Location header of a redirect
    QByteArray body;
};

bool isRedirect(long status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The desktop's proxy for the address, asked afresh for every request, among
// the kinds a connection of its own can go through; NoProxy when none.
QNetworkProxy proxyFor(const QUrl &address)
{
    for (const QNetworkProxy &proxy : QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(address))) {
        switch (proxy.type()) {
        case QNetworkProxy::NoProxy:
        case QNetworkProxy::HttpProxy:
        case QNetworkProxy::Socks5Proxy:
            return proxy;
        case QNetworkProxy::HttpCachingProxy:
            return QNetworkProxy(
                QNetworkProxy::HttpProxy, proxy.hostName(), proxy.port(), proxy.user(), proxy.password());
        default:
            break;
        }
    }
    return QNetworkProxy(QNetworkProxy::NoProxy);
}

QByteArray withoutLineEnd(QByteArray line)
{
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return line;
}

// One GET and its response over a connection of its own, under the options'
// limits, waited for while events are handled. The connection is closed when
// the exchange ends, however it ends: a cancel closes it at once, nothing
// half-read is left behind for the next transfer, and nothing of it runs on
// after it. The watcher is reached through its virtual calls only.
class HttpExchange final : public RunningTransfer
{
public:
    HttpExchange(const QtHttpTransfer::Options &options, const QUrl &address, TransferWatch *watch)
        : m_options(options)
        , m_address(address)
        , m_watch(watch)
    { }
    HttpExchange(const HttpExchange &) = delete;
    HttpExchange &operator=(const HttpExchange &) = delete;

    Exchange run(const QDeadlineTimer &deadline);
    void stop() override { end(Stop::Cancelled); }

private:
    // Where the response has got to.
    enum class Part { Status, Headers, FixedBody, ChunkSize, ChunkData, ChunkEnd, Trailers, BodyToClose, Done };

    void connectSocket();
    void sendRequest();
    void receive();
    bool receiveLine(QByteArray &line, qint64 limit, const char *what);
    bool receiveHeadLine();
    void headReceived();
    bool receiveBody();
    void take(const QByteArray &bytes);
    void closedByServer();
    void end(Stop why);
    void fail(const QString &error);
    void finish();

    const QtHttpTransfer::Options &m_options;
    const QUrl m_address;
    TransferWatch *const m_watch;
    QEventLoop m_loop;
    QTimer m_connectTimer;
    QTimer m_stallTimer;
    QTimer m_totalTimer;
    Exchange m_exchange;
    bool m_ended = false;
    Part m_part = Part::Status;
    qint64 m_headBytes = 0;
    int m_headerLines = 0;
    qint64 m_contentLength = -1;
    bool m_chunked = false;
    bool m_encoded = false; // a transfer coding other than chunked: the body ends with the connection
    qint64 m_remaining = 0; // of the body with a Content-Length, or of the current chunk
    QNetworkProxy m_httpProxy {QNetworkProxy::NoProxy}; // the proxy a plain request is sent to
    // Declared last, so that it goes first: its signals reach nothing that is gone.
    std::unique_ptr<QTcpSocket> m_socket;
};

Exchange HttpExchange::run(const QDeadlineTimer &deadline)
{
    if (deadline.hasExpired()) {
        m_exchange.stop = Stop::TotalTimeout;
        return m_exchange;
    }
    for (QTimer *timer : {&m_connectTimer, &m_stallTimer, &m_totalTimer})
        timer->setSingleShot(true);
    QObject::connect(&m_connectTimer, &QTimer::timeout, &m_loop, [this] { end(Stop::ConnectTimeout); });
    QObject::connect(&m_stallTimer, &QTimer::timeout, &m_loop, [this] { end(Stop::Stalled); });
    QObject::connect(&m_totalTimer, &QTimer::timeout, &m_loop, [this] { end(Stop::TotalTimeout); });
    m_connectTimer.start(int(m_options.connectTimeoutMs));
    m_stallTimer.start(int(m_options.stallTimeoutMs));
    if (!deadline.isForever())
        m_totalTimer.start(int(std::max<qint64>(deadline.remainingTime(), 0)));

    RunningTransfer *const previous = m_watch ? m_watch->setRunning(this) : nullptr;
    connectSocket();
    if (!m_ended)
        m_loop.exec(m_watch ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    // The application quitting ends every event loop: the transfer ends with it.
    end(Stop::Cancelled);
    if (m_watch)
        m_watch->setRunning(previous);
    return std::move(m_exchange);
}

void HttpExchange::connectSocket()
{
    const bool secure = m_address.scheme() == u"https";
    QSslSocket *secureSocket = secure ? new QSslSocket : nullptr;
    m_socket.reset(secure ? secureSocket : new QTcpSocket);
    QTcpSocket *socket = m_socket.get();
    // Everything heard from the server shows the connection stands and the transfer moves.
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this] {
        m_connectTimer.stop();
        m_stallTimer.start();
        receive();
    });
    QObject::connect(socket, &QTcpSocket::errorOccurred, socket, [this](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError)
            closedByServer();
        else
            fail(m_socket->errorString());
    });
    QObject::connect(socket, &QTcpSocket::disconnected, socket, [this] { closedByServer(); });

    const QNetworkProxy proxy = proxyFor(m_address);
    const QString host = m_address.host(QUrl::FullyEncoded);
    const quint16 port = quint16(m_address.port(secure ? 443 : 80));
    if (secure) {
        // Through a proxy of either kind, the connection is tunnelled to the server.
        QObject::connect(secureSocket, &QSslSocket::encrypted, socket, [this] { sendRequest(); });
        secureSocket->setProxy(proxy);
        secureSocket->connectToHostEncrypted(host, port);
    } else if (proxy.type() == QNetworkProxy::HttpProxy) {
        // A plain request goes to the proxy itself, which fetches the address it names.
        m_httpProxy = proxy;
        QObject::connect(socket, &QTcpSocket::connected, socket, [this] { sendRequest(); });
        socket->setProxy(QNetworkProxy::NoProxy);
        socket->connectToHost(proxy.hostName(), proxy.port());
    } else {
        QObject::connect(socket, &QTcpSocket::connected, socket, [this] { sendRequest(); });
        socket->setProxy(proxy);
        socket->connectToHost(host, port);
    }
}

void HttpExchange::sendRequest()
{
    m_connectTimer.stop();
    const bool toHttpProxy = m_httpProxy.type() == QNetworkProxy::HttpProxy;
    QUrl::FormattingOptions format = QUrl::FullyEncoded | QUrl::RemoveUserInfo | QUrl::RemoveFragment;
    if (!toHttpProxy)
        format |= QUrl::RemoveScheme | QUrl::RemoveAuthority;
    QUrl target = m_address;
    if (target.path().isEmpty())
        target.setPath(QStringLiteral("/"));
    else
        format |= QUrl::NormalizePathSegments;

    QByteArray request = "GET " + target.toEncoded(format) + " HTTP/1.1\r\n";
    request += "Host: " + m_address.adjusted(QUrl::RemoveUserInfo).authority(QUrl::FullyEncoded).toLatin1() + "\r\n";
    request += "User-Agent: Harovan\r\n";
    // The bytes as the server holds them: nothing compressed on the way.
    request += "Accept-Encoding: identity\r\n";
    // One exchange per connection: nothing is left open for the next.
    request += "Connection: close\r\n";
    if (toHttpProxy && !m_httpProxy.user().isEmpty())
        request += "Proxy-Authorization: Basic "
            + (m_httpProxy.user() + u':' + m_httpProxy.password()).toUtf8().toBase64() + "\r\n";
    request += "\r\n";
    m_socket->write(request);
}

void HttpExchange::receive()
{
    while (!m_ended) {
        const bool progressed = m_part == Part::Status || m_part == Part::Headers ? receiveHeadLine() : receiveBody();
        if (!progressed)
            break;
    }
}

// A whole line of at most limit bytes, into line; false while it has not all
// arrived, or when it is longer (the exchange then fails).
bool HttpExchange::receiveLine(QByteArray &line, qint64 limit, const char *what)
{
    if (!m_socket->canReadLine()) {
        if (m_socket->bytesAvailable() > limit)
            fail(QStringLiteral("the server's %1 is longer than %2 bytes").arg(QLatin1String(what)).arg(limit));
        return false;
    }
    line = m_socket->readLine(limit + 1);
    if (!line.endsWith('\n')) {
        fail(QStringLiteral("the server's %1 is longer than %2 bytes").arg(QLatin1String(what)).arg(limit));
        return false;
    }
    line = withoutLineEnd(line);
    return true;
}

bool HttpExchange::receiveHeadLine()
{
    QByteArray line;
    if (!receiveLine(line, MaxHeadBytes - m_headBytes, "status line and headers"))
        return false;
    m_headBytes += line.size() + 2;

    if (m_part == Part::Status) {
        // "HTTP/1.1 200 OK"
        bool ok = false;
        const int status = line.mid(9, 3).toInt(&ok);
        if (!line.startsWith("HTTP/1.") || line.size() < 12 || line.at(8) != ' ' || !ok || status < 100) {
            fail(QStringLiteral("the server's answer is not HTTP"));
            return false;
        }
        m_exchange.status = status;
        m_exchange.location.clear();
        m_contentLength = -1;
        m_chunked = m_encoded = false;
        m_part = Part::Headers;
        return true;
    }
    if (line.isEmpty()) {
        headReceived();
        return true;
    }
    if (++m_headerLines > MaxHeaderLines) {
        fail(QStringLiteral("the server sent more than %1 header lines").arg(MaxHeaderLines));
        return false;
    }
    const qsizetype colon = line.indexOf(':');
    // A folded line continues the header before it; none of those read here is folded.
    if (line.startsWith(' ') || line.startsWith('\t'))
        return true;
    if (colon <= 0) {
        fail(QStringLiteral("the server sent a header line without a name"));
        return false;
    }
    const QByteArray name = line.left(colon).trimmed().toLower();
    const QByteArray value = line.mid(colon + 1).trimmed();
    if (name == "content-length") {
        bool ok = false;
        const qint64 length = value.toLongLong(&ok);
        if (!ok || length < 0 || (m_contentLength >= 0 && length != m_contentLength)) {
            fail(QStringLiteral("the server sent a Content-Length that is not one number"));
            return false;
        }
        m_contentLength = length;
    } else if (name == "transfer-encoding") {
        // The last coding named is the outermost.
        m_chunked = value.toLower().split(',').constLast().trimmed() == "chunked";
        m_encoded = !m_chunked;
    } else if (name == "location") {
        m_exchange.location = value;
    }
    return true;
}

void HttpExchange::headReceived()
{
    const long status = m_exchange.status;
    if (status < 200) {
        if (status == 101) {
            fail(QStringLiteral("the server switched to another protocol"));
            return;
        }
        // An interim answer ("100 Continue"): the real one follows.
        m_headerLines = 0;
        m_part = Part::Status;
        return;
    }
    if (status == 204 || status == 304) {
        finish();
    } else if (m_chunked) {
        m_part = Part::ChunkSize;
    } else if (m_encoded || m_contentLength < 0) {
        m_part = Part::BodyToClose;
    } else if (m_contentLength > m_options.maxBodyBytes) {
        // Refused early when the server says how much is coming.
        end(Stop::TooLarge);
    } else if (m_contentLength == 0) {
        finish();
    } else {
        m_remaining = m_contentLength;
        m_part = Part::FixedBody;
    }
}

bool HttpExchange::receiveBody()
{
    QByteArray line;
    switch (m_part) {
    case Part::FixedBody:
    case Part::ChunkData: {
        const qint64 count = std::min(m_remaining, m_socket->bytesAvailable());
        if (count <= 0)
            return false;
        take(m_socket->read(count));
        m_remaining -= count;
        if (m_remaining == 0 && m_part == Part::FixedBody)
            finish();
        else if (m_remaining == 0)
            m_part = Part::ChunkEnd;
        return true;
    }
    case Part::ChunkSize: {
        if (!receiveLine(line, MaxChunkLineBytes, "chunk size"))
            return false;
        // Chunk extensions after ";" say nothing the program needs.
        if (const qsizetype extension = line.indexOf(';'); extension >= 0)
            line.truncate(extension);
        bool ok = false;
        const qint64 size = line.trimmed().toLongLong(&ok, 16);
        if (!ok || size < 0) {
            fail(QStringLiteral("the server sent a chunk size that is no number"));
            return false;
        }
        if (size > m_options.maxBodyBytes - m_exchange.body.size()) {
            end(Stop::TooLarge);
            return false;
        }
        m_remaining = size;
        m_part = size == 0 ? Part::Trailers : Part::ChunkData;
        return true;
    }
    case Part::ChunkEnd:
        if (!receiveLine(line, MaxChunkLineBytes, "chunk end"))
            return false;
        if (!line.isEmpty()) {
            fail(QStringLiteral("the server sent a chunk longer than it said"));
            return false;
        }
        m_part = Part::ChunkSize;
        return true;
    case Part::Trailers:
        if (!receiveLine(line, MaxHeadBytes - m_headBytes, "trailer"))
            return false;
        m_headBytes += line.size() + 2;
        if (line.isEmpty())
            finish();
        return true;
    case Part::BodyToClose:
        if (m_socket->bytesAvailable() <= 0)
            return false;
        take(m_socket->readAll());
        return true;
    case Part::Status:
    case Part::Headers:
    case Part::Done:
        break;
    }
    return false;
}

// The cap holds also when the server sends no Content-Length (chunked or until close).
void HttpExchange::take(const QByteArray &bytes)
{
    if (bytes.size() > m_options.maxBodyBytes - m_exchange.body.size()) {
        end(Stop::TooLarge);
        return;
    }
    m_exchange.body += bytes;
    // Every arrival is told at once.
    if (m_watch)
        m_watch->reportProgress(m_exchange.body.size(), m_chunked || m_encoded ? -1 : m_contentLength);
}

void HttpExchange::closedByServer()
{
    if (m_ended)
        return;
    // What arrived before the close counts.
    receive();
    if (m_ended)
        return;
    if (m_part == Part::BodyToClose)
        finish();
    else if (m_part == Part::FixedBody)
        fail(QStringLiteral("the connection closed after %1 of %2 bytes")
                 .arg(m_contentLength - m_remaining)
                 .arg(m_contentLength));
    else
        fail(QStringLiteral("the connection closed before the answer was whole"));
}

void HttpExchange::end(Stop why)
{
    if (m_ended)
        return;
    m_ended = true;
    m_exchange.stop = why;
    finish();
}

void HttpExchange::fail(const QString &error)
{
    if (m_ended)
        return;
    m_ended = true;
    m_exchange.error = error;
    finish();
}

void HttpExchange::finish()
{
    m_ended = true;
    m_part = Part::Done;
    m_connectTimer.stop();
    m_stallTimer.stop();
    m_totalTimer.stop();
    if (m_socket)
        m_socket->abort();
    m_loop.quit();
}

} // namespace

QtHttpTransfer::QtHttpTransfer() = default;

QtHttpTransfer::QtHttpTransfer(const Options &options)
    : m_options(options)
{ }

QtHttpTransfer::~QtHttpTransfer() = default;

HttpTransfer::Result QtHttpTransfer::transfer(const QString &url, TransferControl *transferControl)
{
    TransferWatch *const control = transferControl;
    std::optional<QUrl> address = requestAddress(url);
    if (!address)
        return failure(QStringLiteral("not an http or https address: ") + url);

    // Redirects are followed here, so that every hop is checked before the next request.
    const QDeadlineTimer deadline = m_options.totalTimeoutMs > 0 ? QDeadlineTimer(qint64(m_options.totalTimeoutMs))
                                                                 : QDeadlineTimer(QDeadlineTimer::Forever);
    for (long redirects = 0;; ++redirects) {
        if (control && control->isCancelled())
            return cancelledResult();
        HttpExchange exchanger(m_options, *address, control);
        Exchange exchange = exchanger.run(deadline);
        const long status = exchange.status;
        switch (exchange.stop) {
        case Stop::Cancelled:
            return cancelledResult(status);
        case Stop::TooLarge:
            return failure(QStringLiteral("the body is larger than %1 bytes").arg(m_options.maxBodyBytes), status);
        case Stop::Stalled:
            return failure(QStringLiteral("nothing arrived for %1 ms").arg(m_options.stallTimeoutMs), status);
        case Stop::ConnectTimeout:
            return failure(QStringLiteral("no connection within %1 ms").arg(m_options.connectTimeoutMs), status);
        case Stop::TotalTimeout:
            return failure(QStringLiteral("the transfer took longer than %1 ms").arg(m_options.totalTimeoutMs), status);
        case Stop::None:
            break;
        }
        if (!exchange.error.isEmpty())
            return failure(exchange.error, status);

        if (isRedirect(status) && !exchange.location.isEmpty()) {
            if (redirects >= m_options.maxRedirects)
                return failure(QStringLiteral("more than %1 redirects").arg(m_options.maxRedirects), status);
            const QUrl target = address->resolved(QUrl(QString::fromUtf8(exchange.location), QUrl::TolerantMode))
                                    .adjusted(QUrl::RemoveFragment);
            if (!isWebAddress(target))
                return failure(QStringLiteral("a redirect to another scheme: ") + target.toString(), status);
            address = target;
            continue;
        }
        // A final response that is neither an error nor a success (a redirect
        // without a target, for one) is no document either.
        if (status < 200 || status > 299)
            return failure(QStringLiteral("unexpected HTTP status %1").arg(status), status);

        Result result;
        result.ok = true;
        result.body = std::move(exchange.body);
        result.httpStatus = status;
        return result;
    }
}

} // namespace platform
