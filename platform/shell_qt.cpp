#include "platform/shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace platform {

DesktopShell::DesktopShell(std::chrono::milliseconds answerTime)
    : m_answerTime(answerTime)
{ }

// An opener still running has by now handed the target on and only waits on
// the browser it started; it ends with the program, the browser goes on.
DesktopShell::~DesktopShell()
{
    for (QProcess *opener : m_openers.findChildren<QProcess *>()) {
        opener->kill();
        opener->waitForFinished();
    }
}

bool DesktopShell::idle() const
{
    return m_openers.children().isEmpty();
}

void DesktopShell::open(const QString &target, std::function<void()> notOpened)
{
    // An absolute path is a local file or folder; anything else is an address.
    const bool file = QDir::isAbsolutePath(target);
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty()) {
        if (!QDesktopServices::openUrl(file ? QUrl::fromLocalFile(target) : QUrl(target)))
            notOpened();
        return;
    }

    auto *opener = new QProcess(&m_openers);
    // As the program's own child: its input and output are the program's.
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    opener->setInputChannelMode(QProcess::ForwardedInputChannel);
    // Told at most once: a failure within the answer time.
    const auto told = std::make_shared<std::function<void()>>(std::move(notOpened));
    QTimer::singleShot(m_answerTime, opener, [told] { *told = nullptr; });
    const auto ended = [opener, told](bool failed) {
        opener->setParent(nullptr);
        opener->deleteLater();
        if (failed && *told)
            std::exchange(*told, nullptr)();
    };
    QObject::connect(opener, &QProcess::finished, opener,
        [ended](int code, QProcess::ExitStatus status) { ended(status != QProcess::NormalExit || code != 0); });
    QObject::connect(opener, &QProcess::errorOccurred, opener, [ended](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            ended(true);
    });
    opener->start(xdgOpen, {file ? target : QString::fromLatin1(QUrl(target).toEncoded())});
}

} // namespace platform
