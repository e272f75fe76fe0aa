#include "core/UserFiles.h"

#include "platform/fileaccess.h"
#include "platform/programfolder.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString DataFolderName = QStringLiteral("data");

// The folder the user's files go to: the program folder, or the user's folder
// when the program folder is read-only.
QString userFilesFolder()
{
    return UserFiles::programFolderKeepsUserFiles() ? platform::programFolder() : platform::userFolder();
}

} // namespace

bool UserFiles::isSharedSystemFolder(const QString &folder)
{
    const QString path = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    for (const QString &tree : {QStringLiteral("/usr"), QStringLiteral("/opt")}) {
        if (path == tree || path.startsWith(tree + u'/'))
            return true;
    }
    return false;
}

bool UserFiles::programFolderKeepsUserFiles()
{
    // Without a folder of its own for the user, the program folder is all there is.
    if (platform::userFolder().isEmpty())
        return true;
    const QString path = platform::programFolder();
    return !isSharedSystemFolder(path) && platform::isWritableFolder(path);
}

QString UserFiles::settingsPath()
{
    return userFilesFolder() + QStringLiteral("settings.ini");
}

QString UserFiles::bookPath()
{
    return userFilesFolder() + QStringLiteral("atari.db");
}

QString UserFiles::settingsPathForWriting()
{
    if (!programFolderKeepsUserFiles())
        platform::makeFolder(platform::userFolder());
    return settingsPath();
}

QString UserFiles::newDataFolder()
{
    // The program's own data folder is never made: without it the program
    // folder is incomplete, and a download fails as it always has.
    const QString folder = dataFolders().first();
    return programFolderKeepsUserFiles() || platform::makeFolder(folder) ? folder : QString();
}

QStringList UserFiles::dataFolders()
{
    if (programFolderKeepsUserFiles())
        return {platform::programDataFolder()};
    return {platform::userFolder() + DataFolderName + QDir::separator(), platform::programDataFolder()};
}

QString UserFiles::dataFilePath(const QString &name)
{
    const QStringList folders = dataFolders();
    for (const QString &folder : folders) {
        if (QFileInfo(folder + name).isFile())
            return folder + name;
    }
    // A name in no folder (or no name: the folder itself) is looked for in the
    // first folder there is.
    for (const QString &folder : folders) {
        if (QFileInfo(folder).isDir())
            return folder + name;
    }
    return folders.first() + name;
}

QStringList UserFiles::dataFileNames(const QString &suffix)
{
    QStringList names;
    for (const QString &folder : dataFolders())
        names += QDir(folder).entryList({QStringLiteral("*") + suffix}, QDir::Files | QDir::CaseSensitive);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}
