#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <vector>

#ifndef Q_OS_WIN
#include <pwd.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN
Q_CORE_EXPORT extern int qt_ntfs_permission_lookup;
#endif

namespace platform {

namespace {

const QString DataFolderName = QStringLiteral("data");

// Adds one separator to a folder path unless it already ends with one (Windows
// takes "/" as a separator too).
QString withTrailingSeparator(const QString &folder)
{
    const QChar separator = QDir::separator();
    return folder.endsWith(separator) || folder.endsWith(u'/') ? folder : folder + separator;
}

// The user's folder with a trailing separator, or empty when there is none.
QString userFolder()
{
    const QString raw = Service<ProgramFolder>::get().userRawPath();
    return raw.isEmpty() ? QString() : withTrailingSeparator(raw);
}

// The folder the user's files go to: the program folder, or the user's folder
// when the program folder is read-only.
QString userFilesFolder()
{
    return programFolderKeepsUserFiles() ? programFolder() : userFolder();
}

#ifndef Q_OS_WIN
// A HOME that is relative would put the user's files under whatever folder the
// program was started from; one of the root folder (as a service or sudo may
// leave it for root) beside the program.
bool usableHome(const QString &home)
{
    return !home.isEmpty() && !QDir::isRelativePath(home) && QDir::cleanPath(home) != QDir::rootPath();
}

// The account's own home folder, for when HOME cannot be used; empty when it
// is no absolute path.
QString accountHome()
{
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd *found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir)
        return {};
    const QString account = QFile::decodeName(found->pw_dir);
    return QDir::isRelativePath(account) ? QString() : QDir::cleanPath(account);
}
#endif

} // namespace

QString RealProgramFolder::rawPath() const
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

#ifdef Q_OS_WIN
QString RealProgramFolder::userRawPath() const
{
    // %APPDATA%\Harovan. QStandardPaths names the user's roaming application
    // data only with the running program's own name below it (a test's, the
    // login reminder's): the folder above that, and the program's name.
    const QString own = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (own.isEmpty())
        return {};
    return withTrailingSeparator(QDir::toNativeSeparators(QFileInfo(own).path())) + QStringLiteral("Harovan");
}
#else
QString RealProgramFolder::userRawPath() const
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // Qt 6.4 takes a relative XDG_DATA_HOME, which the XDG base directory
    // rules say to ignore, and HOME as it is: without an absolute
    // XDG_DATA_HOME the folder is then ~/.local/share/harovan, in the
    // account's home when HOME cannot be used.
    const QString home = QDir::homePath();
    if (!QDir::isAbsolutePath(qEnvironmentVariable("XDG_DATA_HOME"))
        && (QDir::isRelativePath(base) || !usableHome(home))) {
        const QString folder = usableHome(home) ? home : accountHome();
        if (!usableHome(folder))
            return {};
        base = folder + QStringLiteral("/.local/share");
    }
    return withTrailingSeparator(base) + QStringLiteral("harovan");
}
#endif

bool makeFolder(const QString &folder)
{
    const QFileInfo info(QDir::cleanPath(folder));
    if (info.isDir())
        return true;
    if (info.exists() || info.isSymLink())
        return false;
    const QString parent = info.absolutePath();
    if (parent == info.absoluteFilePath() || !makeFolder(parent))
        return false;
    // Private to the user. Another program may create it meanwhile; what counts is that it is there.
    return QDir().mkdir(info.absoluteFilePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)
        || QFileInfo(info.absoluteFilePath()).isDir();
}

QString programFolder()
{
    return withTrailingSeparator(Service<ProgramFolder>::get().rawPath());
}

QString programDataFolder()
{
    return programFolder() + DataFolderName + QDir::separator();
}

bool isSharedSystemFolder(const QString &folder)
{
    const QString path = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    for (const QString &tree : {QStringLiteral("/usr"), QStringLiteral("/opt")}) {
        if (path == tree || path.startsWith(tree + u'/'))
            return true;
    }
    return false;
}

bool programFolderKeepsUserFiles()
{
    // Without a folder of its own for the user, the program folder is all there is.
    if (userFolder().isEmpty())
        return true;
    const QString path = programFolder();
    if (isSharedSystemFolder(path))
        return false;
#ifdef Q_OS_WIN
    // Windows answers from the folder's access list only when asked to: else
    // it looks at the read-only mark alone, which folders do not carry.
    ++qt_ntfs_permission_lookup;
#endif
    const QFileInfo folder(path);
    const bool writable = folder.isDir() && folder.isWritable() && folder.permissions().testFlag(QFile::WriteOwner);
#ifdef Q_OS_WIN
    --qt_ntfs_permission_lookup;
#endif
    return writable;
}

QString settingsPath()
{
    return userFilesFolder() + QStringLiteral("settings.ini");
}

QString bookPath()
{
    return userFilesFolder() + QStringLiteral("atari.db");
}

QString settingsPathForWriting()
{
    if (!programFolderKeepsUserFiles())
        makeFolder(userFolder());
    return settingsPath();
}

QString newDataFolder()
{
    // The program's own data folder is never made: without it the program
    // folder is incomplete, and a download fails as it always has.
    const QString folder = dataFolders().first();
    return programFolderKeepsUserFiles() || makeFolder(folder) ? folder : QString();
}

QStringList dataFolders()
{
    if (programFolderKeepsUserFiles())
        return {programDataFolder()};
    return {userFolder() + DataFolderName + QDir::separator(), programDataFolder()};
}

QString dataFilePath(const QString &name)
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

QStringList dataFileNames(const QString &suffix)
{
    QStringList names;
    for (const QString &folder : dataFolders())
        names += QDir(folder).entryList({QStringLiteral("*") + suffix}, QDir::Files | QDir::CaseSensitive);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

} // namespace platform
