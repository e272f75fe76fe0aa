#pragma once

#include "platform/service.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>
#include <utility>

namespace platform {

template <typename Interface> class Module;

// A transfer as its watcher can end it: a cancel stops it at once.
class RunningTransfer
{
public:
    virtual void stop() = 0;

protected:
    ~RunningTransfer() = default;
};

// What a transfer needs of whoever watches it, in virtual calls only: a
// transfer in the network module reaches the program through these and so
// needs none of the program's own code.
class TransferWatch
{
public:
    virtual bool isCancelled() const = 0;
    // Called by the transfer as data arrive; total is -1 while the size is unknown.
    virtual void reportProgress(qint64 received, qint64 total) = 0;
    // The transfer that runs now (null once it has ended); returns the one before.
    virtual RunningTransfer *setRunning(RunningTransfer *transfer) = 0;

protected:
    ~TransferWatch() = default;
};

// Watches a transfer, or a run of them, for whoever shows its progress: the
// bytes received so far, and a request to stop at once (a cancel button, the
// program closing).
class TransferControl : public QObject, public TransferWatch
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Ends the running transfer at once, and every later one asked with this control.
    void cancel();
    bool isCancelled() const override { return m_cancelled; }
    void reportProgress(qint64 received, qint64 total) override { emit progressed(received, total); }
    RunningTransfer *setRunning(RunningTransfer *transfer) override { return std::exchange(m_running, transfer); }

signals:
    void progressed(qint64 received, qint64 total);
    void cancelled();

private:
    bool m_cancelled = false;
    RunningTransfer *m_running = nullptr;
};

// An HTTP GET into memory that the caller waits for.
class HttpTransfer
{
public:
    struct Result
    {
        bool ok = false; // the whole body arrived with a success status
        QByteArray body; // the body, byte for byte (empty unless ok)
        QString error; // what went wrong, for diagnostics only
        long httpStatus = 0; // the last response's status code; 0 when none arrived
        bool cancelled = false; // the control stopped it (ok is false then)
    };

    virtual ~HttpTransfer() = default;
    // Returns once the whole body has arrived, the transfer has failed or
    // control has cancelled it. Events are handled meanwhile, so the program's
    // windows go on painting. Without a control the user's input waits until
    // the transfer has ended; with one, keeping input away from the windows
    // that must not take it is the caller's part.
    Result get(const QString &url, TransferControl *control = nullptr) { return transfer(url, control); }

protected:
    virtual Result transfer(const QString &url, TransferControl *control) = 0;
};

// The transfer of the module modules/harovan_network.so (a QtHttpTransfer with
// the program's limits), loaded at the first transfer: Qt's network libraries
// cost the start-up nothing. Without the module, or with one that is refused,
// every transfer fails.
class DeferredHttpTransfer final : public HttpTransfer
{
public:
    explicit DeferredHttpTransfer(const QString &modulePath);
    ~DeferredHttpTransfer() override;

protected:
    Result transfer(const QString &url, TransferControl *control) override;

private:
    std::unique_ptr<Module<HttpTransfer>> m_module;
};

// HTTP/1.1 over Qt's sockets, one connection per request, closed when its
// response ends or the transfer is cancelled: only http and https (also on
// redirects), failure on an HTTP error status, a connect, a stall and an
// overall time-out, and caps on the headers and the body as they arrive. No
// cookies and no cache; the system's proxy settings and certificate store.
class QtHttpTransfer final : public HttpTransfer
{
public:
    struct Options
    {
        long connectTimeoutMs = 15000;
        long stallTimeoutMs = 30000; // no data for this long ends the transfer
        // A trickle that never quite stalls still ends after this long; 0: no limit.
        long totalTimeoutMs = 300000;
        qint64 maxBodyBytes = 1024 * 1024;
        long maxRedirects = 5;
    };

    QtHttpTransfer();
    explicit QtHttpTransfer(const Options &options);
    ~QtHttpTransfer() override;

    const Options &options() const { return m_options; }

protected:
    Result transfer(const QString &url, TransferControl *control) override;

private:
    Options m_options;
};

} // namespace platform

// The network module's interface. The number after the slash changes with
// every change of HttpTransfer, its Result or TransferWatch, so that a module
// left from another build is refused.
#define HAROVAN_HTTP_TRANSFER_IID "jp.example.harovan.HttpTransfer/1"
Q_DECLARE_INTERFACE(platform::HttpTransfer, HAROVAN_HTTP_TRANSFER_IID)
