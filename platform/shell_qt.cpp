#include "platform/shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUrl>

#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace platform {

namespace {

// While an opener may still answer, its end is looked for often; afterwards
// only so that it does not linger.
constexpr std::chrono::milliseconds AnswerPoll {100};
constexpr std::chrono::milliseconds LingerPoll {2000};

} // namespace

DesktopShell::DesktopShell(std::chrono::milliseconds answerTime)
    : m_answerTime(answerTime)
{
    QObject::connect(&m_poll, &QTimer::timeout, &m_poll, [this] { collect(); });
}

// Openers still running go on; once the program has ended, the system collects them.
DesktopShell::~DesktopShell() = default;

void DesktopShell::open(const QString &target, std::function<void()> notOpened)
{
    // An absolute path is a local file or folder; anything else is an address.
    const bool file = QDir::isAbsolutePath(target);
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        if (!QDesktopServices::openUrl(file ? QUrl::fromLocalFile(target) : QUrl(target)))
            notOpened();
        return;
    }

    const QByteArray program = QFile::encodeName(opener);
    QByteArray argument = file ? QFile::encodeName(target) : QUrl(target).toEncoded();
    char name[] = "xdg-open";
    char *argv[] = {name, argument.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program.constData(), nullptr, nullptr, argv, environ) != 0) {
        notOpened();
        return;
    }
    m_launches.push_back({pid, std::chrono::steady_clock::now() + m_answerTime, std::move(notOpened)});
    m_poll.start(AnswerPoll);
}

void DesktopShell::collect()
{
    const auto now = std::chrono::steady_clock::now();
    std::vector<std::function<void()>> failures;
    bool answering = false;
    for (auto launch = m_launches.begin(); launch != m_launches.end();) {
        int status = 0;
        const pid_t ended = waitpid(launch->pid, &status, WNOHANG);
        if (ended == 0) {
            // Still running past its answer time: the browser it started has the target.
            if (now >= launch->answerBy)
                launch->notOpened = nullptr;
            answering = answering || launch->notOpened;
            ++launch;
            continue;
        }
        // -1: someone else collected it, and nothing is known of its answer.
        const bool succeeded = ended == -1 || (WIFEXITED(status) && WEXITSTATUS(status) == 0);
        if (!succeeded && launch->notOpened)
            failures.push_back(std::move(launch->notOpened));
        launch = m_launches.erase(launch);
    }
    m_launches.empty() ? m_poll.stop() : m_poll.setInterval(answering ? AnswerPoll : LingerPoll);
    // Last, as a failure's box waits for the user while the events go on.
    for (const auto &notOpened : failures)
        notOpened();
}

} // namespace platform
