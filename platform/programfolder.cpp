#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace platform {

QString RealProgramFolder::rawPath() const
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString withTrailingSeparator(const QString &folder)
{
    const QChar separator = QDir::separator();
    return folder.endsWith(separator) ? folder : folder + separator;
}

QString programFolder()
{
    return withTrailingSeparator(Service<ProgramFolder>::get().rawPath());
}

QString dataFolder()
{
    return programFolder() + QStringLiteral("data") + QDir::separator();
}

} // namespace platform
