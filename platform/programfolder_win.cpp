#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QDir>

#include <windows.h>

#include <shlobj.h>

namespace platform {

QString RealProgramFolder::rawPath() const
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString RealProgramFolder::userRawPath() const
{
    // %APPDATA%\Harovan: the user's roaming application data, as the shell
    // knows it (the variable can be changed by whoever starts the program).
    PWSTR folder = nullptr;
    QString path;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder)))
        path = QString::fromWCharArray(folder);
    ::CoTaskMemFree(folder);
    if (path.isEmpty())
        return {};
    return withTrailingSeparator(QDir::toNativeSeparators(path)) + QStringLiteral("Harovan");
}

} // namespace platform
