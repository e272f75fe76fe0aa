#include "platform/singleinstance.h"

#include "platform/fileaccess.h"
#include "platform/localchannel.h"
#include "platform/module.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QThread>

namespace platform {

namespace {

// How long a new start waits for the running program's answer: its window
// may still be coming up, or later starts ahead of this one are heard first.
constexpr int AnswerTimeoutMs = 3000;
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

// A lock is only ever a plain file: a folder, a link or another special file
// at its path goes, and nothing in its place is followed.
void clearLockPath(const QString &path)
{
    const EntryKind kind = entryAt(path).kind;
    if (kind == EntryKind::Folder)
        QDir(path).removeRecursively();
    else if (kind == EntryKind::Link || kind == EntryKind::Other)
        QFile::remove(path);
}

} // namespace

QString SingleInstance::nameFor(const QString &settingsFolder)
{
    const QString key = QString::fromLatin1(
        QCryptographicHash::hash(QFile::encodeName(settingsFolder), QCryptographicHash::Sha256).toHex().left(16));
    return placed(QStringLiteral("harovan-") + key);
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

bool SingleInstance::takeLock()
{
    clearLockPath(m_lock.fileName());
    if (m_lock.tryLock(0))
        return true;
    // QLockFile has replaced a lock of a program that has ended; one it cannot
    // read, or one from another machine, it leaves. The folder is this
    // machine's own, so neither is the lock of a program running here.
    qint64 pid = 0;
    QString host;
    QString program;
    if (m_lock.error() != QLockFile::LockFailedError
        || (m_lock.getLockInfo(&pid, &host, &program) && host == QSysInfo::machineHostName()))
        return false;
    // Never the lock a running program holds: QLockFile removes only a file nobody has locked.
    return m_lock.removeStaleLockFile() && m_lock.tryLock(0);
}

SingleInstance::Start SingleInstance::claim(Request request)
{
    if (m_name.isEmpty() || takeLock())
        return Start::Run;
    // A folder that refuses the lock: nothing to tell a later start by.
    if (m_lock.error() != QLockFile::LockFailedError)
        return Start::Run;
    // A running program holds the lock: a second window on its book is never opened.
    LocalChannel *channel = m_channel->get();
    if (!channel)
        return Start::Unanswered;
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
            return Start::HandedOver;
        QThread::msleep(AskAgainMs);
    }
    return Start::Unanswered;
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
