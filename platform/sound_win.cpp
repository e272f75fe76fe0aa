#include "platform/sound.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

#include <mmsystem.h>

namespace platform {

// Windows plays the chime itself (PlaySoundW): no module to load.
QString soundModulePath()
{
    return {};
}

void SystemSound::playAsync(const QString &path)
{
    // SND_NODEFAULT: a file that cannot be played gives the beep below, not
    // the system's default sound.
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    if (!QFileInfo(path).isFile() || !::PlaySoundW(name.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT))
        beep();
}

void SystemSound::beep()
{
    ::MessageBeep(MB_OK);
}

} // namespace platform
