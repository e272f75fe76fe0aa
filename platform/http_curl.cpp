#include "platform/http.h"

#include <QUrl>

#include <curl/curl.h>

#include <chrono>
#include <memory>
#include <mutex>

namespace platform {

namespace {

// libcurl's global state is set up once per process, before the first handle.
bool initialiseCurl()
{
    static std::once_flag once;
    static CURLcode status = CURLE_FAILED_INIT;
    std::call_once(once, [] { status = curl_global_init(CURL_GLOBAL_DEFAULT); });
    return status == CURLE_OK;
}

struct EasyCleanup
{
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyCleanup>;

// Collects the body of the final response, refusing anything beyond the cap,
// also when the server sends no Content-Length (chunked or until close).
struct BodySink
{
    QByteArray body;
    qint64 maxBytes = 0;
    bool tooLarge = false;

    // The stall watch: the time the received byte count last grew.
    std::chrono::milliseconds stallTimeout {0};
    std::chrono::steady_clock::time_point lastProgress = std::chrono::steady_clock::now();
    curl_off_t lastReceived = -1;
    bool stalled = false;
};

size_t writeBody(char *data, size_t size, size_t count, void *user)
{
    auto *sink = static_cast<BodySink *>(user);
    const size_t bytes = size * count;
    if (static_cast<qint64>(bytes) > sink->maxBytes - sink->body.size()) {
        sink->tooLarge = true;
        return CURL_WRITEFUNC_ERROR;
    }
    sink->body.append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

// Called while the transfer runs (about once a second when nothing arrives):
// ends a transfer that has received nothing for the stall time-out.
int watchProgress(void *user, curl_off_t, curl_off_t received, curl_off_t, curl_off_t)
{
    auto *sink = static_cast<BodySink *>(user);
    const auto now = std::chrono::steady_clock::now();
    if (received != sink->lastReceived) {
        sink->lastReceived = received;
        sink->lastProgress = now;
        return 0;
    }
    if (now - sink->lastProgress > sink->stallTimeout) {
        sink->stalled = true;
        return 1;
    }
    return 0;
}

// A new status line starts a new response (after a redirect): only the last
// response's body is the document.
size_t readHeader(char *data, size_t size, size_t count, void *user)
{
    const size_t bytes = size * count;
    if (bytes >= 5 && qstrncmp(data, "HTTP/", 5) == 0)
        static_cast<BodySink *>(user)->body.clear();
    return bytes;
}

HttpTransfer::Result failure(const QString &error, long status = 0)
{
    HttpTransfer::Result result;
    result.error = error;
    result.httpStatus = status;
    return result;
}

} // namespace

CurlHttpTransfer::CurlHttpTransfer() = default;

CurlHttpTransfer::CurlHttpTransfer(const Options &options)
    : m_options(options)
{ }

HttpTransfer::Result CurlHttpTransfer::get(const QString &url)
{
    const QUrl address(url, QUrl::StrictMode);
    const QString scheme = address.scheme();
    if (!address.isValid() || (scheme != u"http" && scheme != u"https") || address.host().isEmpty())
        return failure(QStringLiteral("not an http or https address: ") + url);

    if (!initialiseCurl())
        return failure(QStringLiteral("libcurl could not be initialised"));
    // Everything the transfer points into outlives its handle.
    const QByteArray encodedUrl = address.toEncoded(QUrl::RemoveFragment);
    BodySink sink;
    sink.maxBytes = m_options.maxBodyBytes;
    sink.stallTimeout = std::chrono::milliseconds(m_options.stallTimeoutMs);
    char errorText[CURL_ERROR_SIZE] = {};

    const EasyHandle handle(curl_easy_init());
    if (!handle)
        return failure(QStringLiteral("libcurl could not create a transfer"));
    CURL *curl = handle.get();

    curl_easy_setopt(curl, CURLOPT_URL, encodedUrl.constData());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    // Blocking on the one user-interface thread: no signals for DNS time-outs.
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // An error status is a failed transfer, never a document.
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, m_options.maxRedirects);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, m_options.connectTimeoutMs);
    // libcurl's own low-speed check averages over several seconds; the
    // progress callback notices a stall within about a second of the limit.
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, watchProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &sink);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, m_options.totalTimeoutMs);
    // Refuses early when Content-Length is known; the write callback caps the rest.
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_options.maxBodyBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, readHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Harovan");

    const CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);

    if (code != CURLE_OK) {
        if (sink.tooLarge)
            return failure(QStringLiteral("the body is larger than %1 bytes").arg(m_options.maxBodyBytes), status);
        if (sink.stalled)
            return failure(QStringLiteral("nothing arrived for %1 ms").arg(m_options.stallTimeoutMs), status);
        const QString detail
            = errorText[0] ? QString::fromLocal8Bit(errorText) : QString::fromUtf8(curl_easy_strerror(code));
        return failure(detail, status);
    }
    // A final response that is neither an error nor a success (a redirect
    // without a target, for one) is no document either.
    if (status < 200 || status > 299)
        return failure(QStringLiteral("unexpected HTTP status %1").arg(status), status);

    Result result;
    result.ok = true;
    result.body = std::move(sink.body);
    result.httpStatus = status;
    return result;
}

} // namespace platform
