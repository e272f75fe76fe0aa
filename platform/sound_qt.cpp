// The module modules/harovan_sound.so: the chime on Qt Multimedia, loaded once
// the main window is up.
//
// Qt's PulseAudio backend waits for the sound server without a time limit (a
// PipeWire without its session manager never starts a stream, a server that
// accepts the connection may never answer). The Qt Multimedia objects therefore
// live and are driven in a thread of their own: the window only posts "play",
// and a sound server that does not answer holds up nothing but that thread.
#include "platform/sound.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>
#include <QtDebug>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include <unistd.h>

namespace platform {

namespace {

using namespace std::chrono_literals;

// A chime that has not started this long after the hit belongs to another
// moment: it is given up, and cut should the sound server start it later.
constexpr auto StartLimit = 2s;
// How long quitting waits for the chime's thread to end.
constexpr auto EndWait = 300ms;

// The chime's side in its own thread: one QSoundEffect per file for the whole
// run, since loading a WAV file takes longer than playing it.
class ChimePlayer final : public QObject
{
    Q_OBJECT

public:
    void play(const QString &path, QDeadlineTimer limit);
    // Lets go of the sound server, then ends the thread.
    void end();

signals:
    // The file cannot be played: the beep stands in for it.
    void cannotPlay();

private:
    struct Effect
    {
        QSoundEffect effect;
        // A play was asked for while the file was still loading, to start by then.
        std::optional<QDeadlineTimer> pending;
    };

    std::map<QString, std::unique_ptr<Effect>> m_effects;
};

void ChimePlayer::play(const QString &path, QDeadlineTimer limit)
{
    // Plays that waited behind a sound server that did not answer are over.
    if (limit.hasExpired())
        return;

    std::unique_ptr<Effect> &slot = m_effects[path];
    if (!slot) {
        slot = std::make_unique<Effect>();
        Effect *entry = slot.get();
        // The connections live no longer than the effect, and so than entry.
        connect(&entry->effect, &QSoundEffect::statusChanged, &entry->effect, [this, entry] {
            if (entry->effect.status() == QSoundEffect::Loading || !entry->pending)
                return;
            const QDeadlineTimer pendingLimit = *std::exchange(entry->pending, std::nullopt);
            // Qt opens the sound server's stream right after telling that the
            // file is loaded: the chime has started once that returns.
            if (entry->effect.status() == QSoundEffect::Ready)
                QMetaObject::invokeMethod(
                    &entry->effect,
                    [entry, pendingLimit] {
                        if (pendingLimit.hasExpired())
                            entry->effect.stop();
                    },
                    Qt::QueuedConnection);
            // A beep long after the hit would only puzzle.
            else if (!pendingLimit.hasExpired())
                emit cannotPlay();
        });
        entry->effect.setSource(QUrl::fromLocalFile(path));
    }

    const QSoundEffect::Status status = slot->effect.status();
    if (status == QSoundEffect::Error) {
        emit cannotPlay();
        return;
    }
    // Still loading: the effect starts playing once the file is loaded.
    if (status != QSoundEffect::Ready)
        slot->pending = limit;
    slot->effect.play();
    if (status == QSoundEffect::Ready && limit.hasExpired())
        slot->effect.stop();
}

void ChimePlayer::end()
{
    m_effects.clear();
    // After what the effects handed to the event loop to delete.
    QMetaObject::invokeMethod(
        this, [] { QThread::currentThread()->quit(); }, Qt::QueuedConnection);
}

// What the program holds: posts each chime to the chime's thread and never
// waits for it; QApplication::beep when the file is missing or cannot be played.
class QtSound final : public QObject, public Sound
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID HAROVAN_SOUND_IID)
    Q_INTERFACES(platform::Sound)

public:
    QtSound();
    ~QtSound() override;
    void playAsync(const QString &path) override;
    void beep() override;

private:
    QThread *m_thread;
    ChimePlayer *m_player;
};

// Runs first among the handlers of exit() when the chime's thread was left
// waiting for the sound server: Qt Multimedia's own clean-up would wait for
// that thread too, or abort. Nothing of the program is left to clean up then.
void endWithoutWaiting(int status, void *thread)
{
    if (static_cast<QThread *>(thread)->isFinished())
        return;
    std::fflush(nullptr);
    _exit(status);
}

QtSound::QtSound()
    : m_thread(new QThread)
    , m_player(new ChimePlayer)
{
    m_thread->setObjectName(QStringLiteral("chime"));
    m_player->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_player, &QObject::deleteLater);
    connect(m_player, &ChimePlayer::cannotPlay, this, &QtSound::beep);
    m_thread->start();
}

QtSound::~QtSound()
{
    disconnect(m_player, nullptr, this, nullptr);
    QMetaObject::invokeMethod(m_player, &ChimePlayer::end, Qt::QueuedConnection);
    if (m_thread->wait(QDeadlineTimer(EndWait))) {
        delete m_thread;
        return;
    }
    // The thread and what it holds are left as they are: deleting them while
    // Qt Multimedia waits in them would be worse.
    qWarning("The sound server still holds up the chime: the program ends without waiting for it");
    on_exit(endWithoutWaiting, m_thread);
}

void QtSound::playAsync(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        beep();
        return;
    }
    QMetaObject::invokeMethod(
        m_player, [player = m_player, path, limit = QDeadlineTimer(StartLimit)] { player->play(path, limit); },
        Qt::QueuedConnection);
}

void QtSound::beep()
{
    QApplication::beep();
}

} // namespace

} // namespace platform

#include "sound_qt.moc"
