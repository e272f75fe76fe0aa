#include "core/AtariBookAside.h"

#include "core/AtariBookTexts.h"
#include "core/FileErrorText.h"
#include "platform/fileaccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <cerrno>
#include <utility>

namespace {

// Side files SQLite keeps beside the book; they belong to it and move with it.
const QStringList SideSuffixes = {QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")};

// Whether the name, or a side file's under it, is in use, by a link to nothing too.
bool taken(const QString &path)
{
    for (const QString &suffix : QStringList {QString()} + SideSuffixes) {
        if (platform::entryAt(path + suffix).kind != platform::EntryKind::Nothing)
            return true;
    }
    return false;
}

} // namespace

QString BookAside::Name(const QString &path, const QDate &today)
{
    const QFileInfo info(path);
    const QString base = info.fileName() + QStringLiteral(".damaged-") + today.toString(QStringLiteral("yyyyMMdd"));
    QString name = base;
    for (int n = 2; taken(info.dir().filePath(name)); ++n)
        name = base + u'-' + QString::number(n);
    return name;
}

Outcome<> BookAside::Keep(const QString &path, const QDate &today, const QString &stranger)
{
    const QString aside = QFileInfo(path).dir().filePath(Name(path, today));
    // The book first, then its journal under the same name, so SQLite finds
    // them together; should one not move, everything moved goes back: a
    // journal left beside a new book would be read into it.
    QList<std::pair<QString, QString>> moved;
    for (const QString &suffix : QStringList {QString()} + SideSuffixes) {
        QFile file(path + suffix);
        if (!suffix.isEmpty() && !file.exists())
            continue;
        const QString to
            = aside + suffix + (!suffix.isEmpty() && suffix == stranger ? QStringLiteral(".other") : QString());
        if (!file.rename(to)) {
            const QString reason = FileErrorText::ofErrno(errno);
            for (const auto &[from, to] : std::as_const(moved))
                QFile::rename(to, from);
            return {Ended::Failed, BookTexts::NotMovedAside(reason)};
        }
        moved.append({path + suffix, to});
    }
    return {};
}
