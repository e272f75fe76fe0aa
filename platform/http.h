#pragma once

#include "platform/service.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class QNetworkAccessManager;

namespace platform {

template <typename Interface> class Module;

// Watches a transfer, or a run of them, for whoever shows its progress: the
// bytes received so far, and a request to stop at once (a cancel button, the
// program closing).
class TransferControl : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Ends the running transfer at once, and every later one asked with this control.
    void cancel();
    bool isCancelled() const { return m_cancelled; }
    // Called by the transfer as data arrive; total is -1 while the size is unknown.
    void reportProgress(qint64 received, qint64 total) { emit progressed(received, total); }

signals:
    void progressed(qint64 received, qint64 total);
    void cancelled();

private:
    bool m_cancelled = false;
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

// extern "C" HttpTransfer *harovan_create_http(): a new QtHttpTransfer with the
// program's limits, owned by the caller; made by modules/harovan_network.
inline constexpr char CreateHttpSymbol[] = "harovan_create_http";

// The transfer of the module harovan_network, loaded at the first transfer:
// Qt's network libraries cost the start-up nothing. Without the module every
// transfer fails.
class DeferredHttpTransfer final : public HttpTransfer
{
public:
    // modulePath: the module's path without its suffix (".so").
    explicit DeferredHttpTransfer(const QString &modulePath);
    ~DeferredHttpTransfer() override;

protected:
    Result transfer(const QString &url, TransferControl *control) override;

private:
    std::unique_ptr<Module<HttpTransfer>> m_module;
};

// Qt's network access: only http and https (also on redirects), failure on an
// HTTP error status, a connect, a stall and an overall time-out, and a cap on
// the body size as it arrives. No cookies and no cache; the system's proxy
// settings and certificate store.
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
    // Made on the first transfer, so a program that never downloads never sets up the network.
    std::unique_ptr<QNetworkAccessManager> m_manager;
};

} // namespace platform
