#pragma once

#include "platform/service.h"

#include <QByteArray>
#include <QString>

namespace platform {

// A synchronous HTTP GET into memory.
class HttpTransfer
{
public:
    struct Result
    {
        bool ok = false; // the whole body arrived with a success status
        QByteArray body; // the body, byte for byte (empty unless ok)
        QString error; // what went wrong, for diagnostics only
        long httpStatus = 0; // the last response's status code; 0 when none arrived
    };

    virtual ~HttpTransfer() = default;
    // Blocks until the whole body has arrived or the transfer has failed.
    virtual Result get(const QString &url) = 0;
};

// libcurl: only http and https (also on redirects), failure on an HTTP error
// status, a connect and a stall time-out, and a cap on the body size.
class CurlHttpTransfer final : public HttpTransfer
{
public:
    struct Options
    {
        long connectTimeoutMs = 15000;
        long stallTimeoutMs = 30000; // no data for this long ends the transfer (noticed within about a second)
        // A trickle that never quite stalls still ends after this long; 0: no limit.
        long totalTimeoutMs = 300000;
        qint64 maxBodyBytes = 1024 * 1024;
        long maxRedirects = 5;
    };

    CurlHttpTransfer();
    explicit CurlHttpTransfer(const Options &options);
    Result get(const QString &url) override;

    const Options &options() const { return m_options; }

private:
    Options m_options;
};

} // namespace platform
