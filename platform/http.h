#pragma once

#include "platform/service.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

namespace platform {

// What a transfer ends with.
struct HttpResult
{
    bool ok = false; // the whole body arrived with a success status
    QByteArray body; // the body, byte for byte (empty unless ok)
    QString error; // what went wrong, for diagnostics only
    long httpStatus = 0; // the last response's status code; 0 when none arrived
    bool cancelled = false; // stopped by whoever started it (ok is false then)
};

// A transfer under way, as whoever started it holds it. Deleting it ends the
// transfer at once and nothing more is heard of it.
class RunningTransfer
{
public:
    virtual ~RunningTransfer() = default;
};

// What a transfer tells whoever started it, in virtual calls only: a transfer
// in the network module reaches the program through these and so needs none
// of the program's own code.
class TransferWatch
{
public:
    // As data arrive; total is -1 while the size is unknown.
    virtual void reportProgress(qint64 received, qint64 total) = 0;
    // Once, when the transfer has ended, whichever way; the transfer may be
    // deleted from here. A transfer refused at once may end before its start()
    // has returned.
    virtual void transferEnded(const HttpResult &result) = 0;

protected:
    ~TransferWatch() = default;
};

// An HTTP GET into memory.
class HttpTransfer
{
public:
    using Result = HttpResult;

    virtual ~HttpTransfer() = default;
    // Starts the transfer and returns at once; watch hears of it until it ends.
    virtual std::unique_ptr<RunningTransfer> start(const QString &url, TransferWatch *watch) = 0;
};

// A transfer that has ended before it began, with result: what a refused
// address or a missing module gives. Its watch hears of it at once.
std::unique_ptr<RunningTransfer> endedTransfer(TransferWatch *watch, const HttpResult &result);

template <typename Interface> class DeferredCalls;

template <> class DeferredCalls<HttpTransfer> : public HttpTransfer
{
public:
    std::unique_ptr<RunningTransfer> start(const QString &url, TransferWatch *watch) override
    {
        return target().start(url, watch);
    }

protected:
    virtual HttpTransfer &target() = 0;
};

// What transfers without the network module (modules/harovan_network.so, a
// CurlHttpTransfer with the program's limits, installed as
// Deferred<HttpTransfer>): every transfer fails at once.
class RefusedTransfer final : public HttpTransfer
{
public:
    std::unique_ptr<RunningTransfer> start(const QString &url, TransferWatch *watch) override;
};

// libcurl in the program's event loop, with connections of its own for every
// transfer, closed with it: only http and https (also on redirects), HTTP/1.1,
// failure on an HTTP error status, a connect, a stall and an overall time-out,
// caps on the headers and the body as they arrive. No cookies, no cache and no
// decompression; the proxy the environment names (http_proxy, https_proxy,
// all_proxy, no_proxy, as libcurl reads them), else the desktop's settings as
// Qt reads them, with credentials only where the proxy's address carries
// them, a tunnel for https, and never straight past a proxy that cannot be
// used; the system's certificate store.
//
// Not Qt's network access: Qt 6.4 reads a server's headers one byte per read
// into a buffer without a limit until their end, in its own thread, and tells
// nothing of them meanwhile; a server that sends headers without end keeps
// that thread reading for good, and deleting the manager then waits 5 s for it.
class CurlHttpTransfer final : public HttpTransfer
{
public:
    struct Options
    {
        long connectTimeoutMs = 15000;
        // No byte of a final answer for this long ends the transfer; interim
        // answers ("100 Continue") do not count.
        long stallTimeoutMs = 30000;
        // A trickle that never quite stalls still ends after this long; 0: no limit.
        long totalTimeoutMs = 300000;
        qint64 maxBodyBytes = 1024 * 1024;
        long maxRedirects = 5;
    };

    CurlHttpTransfer();
    explicit CurlHttpTransfer(const Options &options);
    ~CurlHttpTransfer() override;

    std::unique_ptr<RunningTransfer> start(const QString &url, TransferWatch *watch) override;

private:
    Options m_options;
};

} // namespace platform

// The network module's interface. The number after the slash changes with
// every change of HttpTransfer, HttpResult, RunningTransfer or TransferWatch,
// so that a module left from another build is refused.
#define HAROVAN_HTTP_TRANSFER_IID "jp.example.harovan.HttpTransfer/2"
Q_DECLARE_INTERFACE(platform::HttpTransfer, HAROVAN_HTTP_TRANSFER_IID)
