// The module modules/harovan_localchannel.so: Qt's local sockets, through
// which a second start hands its request to the running program.
#include "platform/localchannel.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>

namespace platform {

namespace {

// A request is one short line; anything longer is not one.
constexpr qint64 MaxLine = 4096;

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
        auto *server = new QLocalServer(owner);
        server->setSocketOptions(QLocalServer::UserAccessOption);
        // A name left by a program that has ended, or held by one that no longer answers.
        QLocalServer::removeServer(name);
        if (!server->listen(name)) {
            delete server;
            return false;
        }
        QObject::connect(server, &QLocalServer::newConnection, server, [server, answer = std::move(answer)] {
            while (QLocalSocket *socket = server->nextPendingConnection()) {
                QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, answer] {
                    if (!socket->canReadLine()) {
                        if (socket->bytesAvailable() > MaxLine)
                            socket->abort();
                        return;
                    }
                    const QByteArray reply = answer(socket->readLine(MaxLine));
                    if (reply.isEmpty()) {
                        socket->abort();
                        return;
                    }
                    socket->write(reply);
                    socket->disconnectFromServer();
                });
            }
        });
        return true;
    }
};

} // namespace

} // namespace platform

#include "localchannel_module.moc"
