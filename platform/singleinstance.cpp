#include "platform/singleinstance.h"

#include "platform/localchannel.h"
#include "platform/module.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

namespace platform {

namespace {

// How long a new start waits for the running program's answer.
constexpr int AnswerTimeoutMs = 1000;
// How often it asks meanwhile, while the running program is still coming up.
constexpr int AskAgainMs = 20;

const QByteArray ShowWord = "show";
const QByteArray ShowListWord = "show-list";
const QByteArray Answer = "ok\n";

// QLockFile reads a relative name from the current folder, which differs with
// how the program was started (a shortcut, the login reminder, a command line):
// a later start from elsewhere would not see the lock. A relative name, as on
// Windows, has its lock in the temporary folder, where a local socket of that
// name lies too.
QString lockPath(const QString &name)
{
    const QString file = name + QStringLiteral(".lock");
    return QDir::isAbsolutePath(name) ? file : QDir(QDir::tempPath()).filePath(file);
}

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

SingleInstance::SingleInstance(const QString &name, const QString &modulePath, QObject *parent)
    : QObject(parent)
    , m_name(name)
    , m_lock(lockPath(name))
    , m_channel(std::make_unique<Module<LocalChannel>>(modulePath))
{
    // Held for as long as the program runs; taken over only once its program has ended.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim(Request request)
{
    if (m_lock.tryLock(0))
        return true;
    LocalChannel *channel = m_lock.error() == QLockFile::LockFailedError ? m_channel->get() : nullptr;
    if (!channel)
        return true;
    QByteArray line = request == Request::ShowList ? ShowListWord : ShowWord;
    // The token with which a Wayland desktop lets the window of a program it
    // started come forward over others; passed on to the running program.
    const QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    if (!token.isEmpty() && !token.contains('\n'))
        line += '\t' + token;
    line += '\n';
    // The running program listens once its window is up.
    const QDeadlineTimer deadline(AnswerTimeoutMs);
    while (!deadline.hasExpired()) {
        if (channel->ask(m_name, line, int(deadline.remainingTime())) == Answer)
            return false;
        QThread::msleep(AskAgainMs);
    }
    return true;
}

void SingleInstance::listen()
{
    if (!m_lock.isLocked())
        return;
    if (LocalChannel *channel = m_channel->get())
        channel->listen(m_name, this, [this](const QByteArray &line) { return answer(line); });
}

QByteArray SingleInstance::answer(const QByteArray &line)
{
    // The word, then the activation token after a tab.
    const QByteArrayList parts = line.trimmed().split('\t');
    if (parts.first() != ShowWord && parts.first() != ShowListWord)
        return {};
    const Request asked = parts.first() == ShowListWord ? Request::ShowList : Request::Show;
    const QString token = QString::fromUtf8(parts.mid(1).join('\t'));
    // Once the answer is on its way.
    QMetaObject::invokeMethod(
        this, [this, asked, token] { emit requested(asked, token); }, Qt::QueuedConnection);
    return Answer;
}

} // namespace platform
