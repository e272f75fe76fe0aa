#include "platform/http.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <functional>
#include <optional>

namespace platform {

namespace {

// The desktop's proxy settings, asked afresh for every request.
class SystemProxyFactory final : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override
    {
        return QNetworkProxyFactory::systemProxyForQuery(query);
    }
};

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

struct ReplyDeleter
{
    void operator()(QNetworkReply *reply) const
    {
        // Finished or aborted by now: nothing of it runs any more.
        reply->disconnect();
        delete reply;
    }
};
using ReplyHandle = std::unique_ptr<QNetworkReply, ReplyDeleter>;

// Why the program itself ended an exchange before the server did.
enum class Stop { None, Cancelled, TooLarge, Stalled, ConnectTimeout, TotalTimeout };

// One request and its response; a redirect is a response like any other here.
struct Exchange
{
    Stop stop = Stop::None;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QString errorText;
    long status = 0;
    QByteArray location; // the Location header of a redirect
    QByteArray body;
};

bool isRedirect(long status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Tells the watcher which exchange runs, for as long as it runs.
class RunningExchange final : public RunningTransfer
{
public:
    RunningExchange(TransferWatch *watch, std::function<void()> stop)
        : m_watch(watch)
        , m_stop(std::move(stop))
        , m_previous(watch ? watch->setRunning(this) : nullptr)
    { }
    ~RunningExchange()
    {
        if (m_watch)
            m_watch->setRunning(m_previous);
    }
    RunningExchange(const RunningExchange &) = delete;
    RunningExchange &operator=(const RunningExchange &) = delete;
    void stop() override { m_stop(); }

private:
    TransferWatch *m_watch;
    std::function<void()> m_stop;
    RunningTransfer *m_previous;
};

// One request and its response under the options' limits, waited for while
// events are handled. The watcher is reached through its virtual calls only.
Exchange exchangeOnce(QNetworkAccessManager &manager, const QtHttpTransfer::Options &options, const QUrl &address,
    TransferWatch *control, const QDeadlineTimer &deadline)
{
    Exchange exchange;
    if (deadline.hasExpired()) {
        exchange.stop = Stop::TotalTimeout;
        return exchange;
    }
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Harovan"));
    // The bytes as the server holds them: nothing decompressed on the way.
    request.setRawHeader(QByteArrayLiteral("Accept-Encoding"), QByteArrayLiteral("identity"));

    QEventLoop loop;
    const ReplyHandle handle(manager.get(request));
    QNetworkReply *reply = handle.get();
    const auto end = [&](Stop why) {
        if (exchange.stop == Stop::None)
            exchange.stop = why;
        if (!reply->isFinished())
            reply->abort();
        loop.quit();
    };
    const auto readStatus = [&] {
        if (const QVariant code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute); code.isValid())
            exchange.status = code.toInt();
    };

    QTimer connectTimer;
    connectTimer.setSingleShot(true);
    QObject::connect(&connectTimer, &QTimer::timeout, reply, [&] { end(Stop::ConnectTimeout); });
    connectTimer.start(int(options.connectTimeoutMs));
    QTimer stallTimer;
    stallTimer.setSingleShot(true);
    QObject::connect(&stallTimer, &QTimer::timeout, reply, [&] { end(Stop::Stalled); });
    stallTimer.start(int(options.stallTimeoutMs));
    QTimer totalTimer;
    totalTimer.setSingleShot(true);
    QObject::connect(&totalTimer, &QTimer::timeout, reply, [&] { end(Stop::TotalTimeout); });
    if (!deadline.isForever())
        totalTimer.start(int(std::max<qint64>(deadline.remainingTime(), 0)));
    // Anything heard from the server shows the connection stands and the transfer moves.
    const auto heard = [&] {
        connectTimer.stop();
        stallTimer.start();
    };
    // The cap holds also when the server sends no Content-Length (chunked or until close).
    const auto take = [&] {
        if (reply->bytesAvailable() > options.maxBodyBytes - exchange.body.size()) {
            end(Stop::TooLarge);
            return;
        }
        exchange.body += reply->readAll();
    };

    QObject::connect(reply, &QNetworkReply::requestSent, reply, [&] { connectTimer.stop(); });
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&] {
        heard();
        readStatus();
        // Refused early when the server says how much is coming.
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > options.maxBodyBytes)
            end(Stop::TooLarge);
    });
    // Every arrival is told at once: Qt's own progress signal leaves out
    // arrivals that follow the last one closely, and so may never tell the last.
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        heard();
        take();
        if (control && exchange.stop == Stop::None) {
            const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            control->reportProgress(exchange.body.size(), length.isValid() ? length.toLongLong() : -1);
        }
    });
    const RunningExchange running(control, [&] { end(Stop::Cancelled); });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);

    if (!reply->isFinished())
        loop.exec(control ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    // The application quitting ends every event loop: the transfer ends with it.
    if (!reply->isFinished())
        end(Stop::Cancelled);
    if (exchange.stop == Stop::None)
        take();
    readStatus();
    exchange.error = reply->error();
    exchange.errorText = reply->errorString();
    exchange.location = reply->rawHeader(QByteArrayLiteral("Location"));
    return exchange;
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

    // Redirects are followed here rather than by Qt, so that every hop is
    // checked and its body read to the end before the next request.
    const QDeadlineTimer deadline = m_options.totalTimeoutMs > 0 ? QDeadlineTimer(qint64(m_options.totalTimeoutMs))
                                                                 : QDeadlineTimer(QDeadlineTimer::Forever);
    for (long redirects = 0;; ++redirects) {
        if (control && control->isCancelled())
            return cancelledResult();
        if (!m_manager) {
            m_manager = std::make_unique<QNetworkAccessManager>();
            m_manager->setProxyFactory(new SystemProxyFactory);
        }
        Exchange exchange = exchangeOnce(*m_manager, m_options, *address, control, deadline);
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
        if (exchange.error != QNetworkReply::NoError)
            return failure(exchange.errorText, status);

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
