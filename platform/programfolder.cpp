#include "platform/programfolder.h"

#include "platform/fileaccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// RealProgramFolder::userRawPath, which each system answers its own way, is in
// programfolder_unix.cpp and programfolder_win.cpp.
namespace platform {

namespace {

// Adds one separator to a folder path unless it already ends with one (Windows
// takes "/" as a separator too).
QString withTrailingSeparator(const QString &folder)
{
    const QChar separator = QDir::separator();
    return folder.endsWith(separator) || folder.endsWith(u'/') ? folder : folder + separator;
}

} // namespace

QString RealProgramFolder::rawPath() const
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString userFolder()
{
    const QString raw = Service<ProgramFolder>::get().userRawPath();
    return raw.isEmpty() ? QString() : withTrailingSeparator(raw);
}

bool makeFolder(const QString &folder)
{
    const QFileInfo info(QDir::cleanPath(folder));
    // A folder, or a link to one; anything else of the name is in the way.
    const Entry entry = entryAt(info.filePath());
    if (entry.target == EntryKind::Folder)
        return true;
    if (entry.kind != EntryKind::Nothing)
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
    return programFolder() + QStringLiteral("data") + QDir::separator();
}

} // namespace platform
