#include "platform/sound.h"

#include <QApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

#include <map>
#include <memory>

namespace platform {

struct QtSound::Impl
{
    struct Effect
    {
        QSoundEffect effect;
        // A play was asked for while the file was still loading; if loading
        // then fails, the beep stands in for it.
        bool playPending = false;
    };
    // One effect per file for the whole run: loading a WAV file takes longer
    // than playing it.
    std::map<QString, std::unique_ptr<Effect>> effects;
};

QtSound::QtSound()
    : d(std::make_unique<Impl>())
{ }

QtSound::~QtSound() = default;

void QtSound::playAsync(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        beep();
        return;
    }

    std::unique_ptr<Impl::Effect> &slot = d->effects[path];
    if (!slot) {
        slot = std::make_unique<Impl::Effect>();
        Impl::Effect *entry = slot.get();
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

} // namespace platform

extern "C" Q_DECL_EXPORT platform::Sound *harovan_create_sound()
{
    return new platform::QtSound;
}
