// The module modules/harovan_sound.so: the chime on Qt Multimedia, loaded once
// the main window is up.
#include "platform/sound.h"

#include <QApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

#include <map>
#include <memory>

namespace platform {

namespace {

// QSoundEffect, created once per file and never waited on; QApplication::beep
// when the file is missing or cannot be played.
class QtSound final : public QObject, public Sound
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID HAROVAN_SOUND_IID)
    Q_INTERFACES(platform::Sound)

public:
    void playAsync(const QString &path) override;
    void beep() override;

private:
    struct Effect
    {
        QSoundEffect effect;
        // A play was asked for while the file was still loading; if loading
        // then fails, the beep stands in for it.
        bool playPending = false;
    };
    // One effect per file for the whole run: loading a WAV file takes longer
    // than playing it.
    std::map<QString, std::unique_ptr<Effect>> m_effects;
};

void QtSound::playAsync(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        beep();
        return;
    }

    std::unique_ptr<Effect> &slot = m_effects[path];
    if (!slot) {
        slot = std::make_unique<Effect>();
        Effect *entry = slot.get();
        // The connection lives no longer than the effect, and so than entry.
        QObject::connect(&entry->effect, &QSoundEffect::statusChanged, &entry->effect, [this, entry] {
            const QSoundEffect::Status status = entry->effect.status();
            if (status == QSoundEffect::Loading)
                return;
            if (status == QSoundEffect::Error && entry->playPending)
                beep();
            entry->playPending = false;
        });
        entry->effect.setSource(QUrl::fromLocalFile(path));
    }

    switch (slot->effect.status()) {
    case QSoundEffect::Error:
        beep();
        break;
    case QSoundEffect::Ready:
        slot->effect.play();
        break;
    default:
        // Still loading: the effect starts playing once the file is loaded.
        slot->playPending = true;
        slot->effect.play();
        break;
    }
}

void QtSound::beep()
{
    QApplication::beep();
}

} // namespace

} // namespace platform

#include "sound_qt.moc"
