#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

namespace platform {

// Short lines between two starts of the program over a local socket (a
// named pipe on Windows), in the module modules/harovan_localchannel.so:
// Qt's network library is loaded only when a second start asks the running
// program, or once the running program's window is up.
class LocalChannel
{
public:
    // The listening program hears at most this many connections at once, and
    // drops one that has sent no whole line within LineTimeoutMs.
    static constexpr int MaxConnections = 8;
    static constexpr int LineTimeoutMs = 1000;

    virtual ~LocalChannel() = default;

    // Sends line to the program listening under name; its answer line, or
    // empty when nobody listens there or no answer came within timeoutMs.
    virtual QByteArray ask(const QString &name, const QByteArray &line, int timeoutMs) = 0;
    // Listens under name, in the place of whatever was left there; each
    // request line gets the answer that answer gives it (none: the connection
    // is dropped). The listening ends with owner. False when it cannot listen.
    virtual bool listen(const QString &name, QObject *owner, std::function<QByteArray(const QByteArray &)> answer) = 0;
};

} // namespace platform

#define HAROVAN_LOCAL_CHANNEL_IID "jp.example.harovan.LocalChannel/1"
Q_DECLARE_INTERFACE(platform::LocalChannel, HAROVAN_LOCAL_CHANNEL_IID)
