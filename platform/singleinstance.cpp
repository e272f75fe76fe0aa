#include "platform/singleinstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace platform {

namespace {

// How long a new start waits for the running program's answer.
constexpr int AnswerTimeoutMs = 1000;
// A request is one short line; anything longer is not one.
constexpr qint64 MaxLine = 4096;

const QByteArray ShowWord = "show";
const QByteArray ShowListWord = "show-list";
const QByteArray Answer = "ok\n";

} // namespace

QString SingleInstance::nameFor(const QString &settingsFolder)
{
    const QString key = QString::fromLatin1(
        QCryptographicHash::hash(QFile::encodeName(settingsFolder), QCryptographicHash::Sha256).toHex().left(16));
    const QString name = QStringLiteral("harovan-") + key;
#ifdef Q_OS_WIN
    return name;
#else
    // Without a runtime folder, a name in the temporary folder.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? name : runtime + u'/' + name;
#endif
}

SingleInstance::SingleInstance(const QString &name, QObject *parent)
    : QObject(parent)
    , m_name(name)
    , m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::answer);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim(Request request)
{
    if (handOver(m_name, request))
        return false;
    if (m_server->listen(m_name))
        return true;
    // A start at the same moment has just taken the name.
    if (m_server->serverError() == QAbstractSocket::AddressInUseError && handOver(m_name, request))
        return false;
    // The name is left from a program that has ended, or held by one that
    // does not answer: this start takes it.
    QLocalServer::removeServer(m_name);
    m_server->listen(m_name);
    return true;
}

bool SingleInstance::handOver(const QString &name, Request request)
{
    const QDeadlineTimer deadline(AnswerTimeoutMs);
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    QByteArray line = request == Request::ShowList ? ShowListWord : ShowWord;
    // The token with which a Wayland desktop lets the window of a program it
    // started come forward over others; passed on to the running program.
    const QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    if (!token.isEmpty() && !token.contains('\n'))
        line += '\t' + token;
    // Written while waiting for the answer.
    socket.write(line + '\n');
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    return socket.readLine(MaxLine) == Answer;
}

void SingleInstance::answer()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > MaxLine)
                    socket->abort();
                return;
            }
            const QByteArray line = socket->readLine(MaxLine).trimmed();
            const qsizetype tab = line.indexOf('\t');
            const QByteArray word = tab < 0 ? line : line.first(tab);
            if (word != ShowWord && word != ShowListWord) {
                socket->abort();
                return;
            }
            socket->write(Answer);
            socket->disconnectFromServer();
            emit requested(word == ShowListWord ? Request::ShowList : Request::Show,
                tab < 0 ? QString() : QString::fromUtf8(line.mid(tab + 1)));
        });
    }
}

} // namespace platform
