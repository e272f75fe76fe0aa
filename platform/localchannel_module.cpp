// The module modules/harovan_localchannel.so: Qt's local sockets, through
// which a second start hands its request to the running program.
#include "platform/localchannel.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace platform {

namespace {

// A request is one short line; anything longer is not one.
constexpr qint64 MaxLine = 4096;

// The running program's end: later starts heard a few at a time, each for a
// second at most. A local process that opens connections without end costs
// the program no more files than that: the rest wait in the system's queue,
// and the program keeps its files for its own work (the book, the chime).
class Listener final : public QObject
{
public:
    Listener(QObject *owner, std::function<QByteArray(const QByteArray &)> answer)
        : QObject(owner)
        , m_server(new QLocalServer(this))
        , m_answer(std::move(answer))
    {
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        // Accepted only as they are heard.
        m_server->setMaxPendingConnections(1);
        connect(m_server, &QLocalServer::newConnection, this, &Listener::hear);
    }

    bool listen(const QString &name)
    {
        // A name left by a program that has ended, or held by one that no longer answers.
        QLocalServer::removeServer(name);
        return m_server->listen(name);
    }

private:
    void hear()
    {
        while (m_heard < LocalChannel::MaxConnections) {
            QLocalSocket *socket = m_server->nextPendingConnection();
            if (!socket)
                return;
            ++m_heard;
            connect(socket, &QObject::destroyed, this, [this] {
                --m_heard;
                hear();
            });
            auto *limit = new QTimer(socket);
            limit->setSingleShot(true);
            connect(limit, &QTimer::timeout, socket, [socket] {
                socket->abort();
                socket->deleteLater();
            });
            limit->start(LocalChannel::LineTimeoutMs);
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, socket, [this, socket] { read(socket); });
        }
    }

    void read(QLocalSocket *socket)
    {
        if (!socket->canReadLine()) {
            if (socket->bytesAvailable() > MaxLine)
                socket->abort();
            return;
        }
        const QByteArray reply = m_answer(socket->readLine(MaxLine));
        if (reply.isEmpty()) {
            socket->abort();
            return;
        }
        socket->write(reply);
        socket->disconnectFromServer();
    }

    QLocalServer *const m_server;
    const std::function<QByteArray(const QByteArray &)> m_answer;
    int m_heard = 0; // connections taken and not yet gone
};

class QtLocalChannel final : public QObject, public LocalChannel
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID HAROVAN_LOCAL_CHANNEL_IID)
    Q_INTERFACES(platform::LocalChannel)

protected:
    QByteArray ask(const QString &name, const QByteArray &line, int timeoutMs) override
    {
        const QDeadlineTimer deadline(timeoutMs);
        QLocalSocket socket;
        socket.connectToServer(name);
        if (!socket.waitForConnected(int(deadline.remainingTime())))
            return {};
        // Written while waiting for the answer.
        socket.write(line);
        while (!socket.canReadLine() && socket.waitForReadyRead(int(deadline.remainingTime()))) { }
        return socket.canReadLine() ? socket.readLine(MaxLine) : QByteArray();
    }

    bool listen(const QString &name, QObject *owner, std::function<QByteArray(const QByteArray &)> answer) override
    {
        auto *listener = new Listener(owner, std::move(answer));
        if (!listener->listen(name)) {
            delete listener;
            return false;
        }
        return true;
    }
};

} // namespace

} // namespace platform

#include "localchannel_module.moc"
