#include "core/NewData.h"

#include "core/DataFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Longest file name most file systems accept, in bytes.
constexpr qsizetype MaxFileNameBytes = 255;

// Permissions of a newly created file under the process's umask, as an
// ordinary file the program writes would get them.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Writes bytes as target through a temporary file in folder, renamed over
// the target once every byte is on the disk.
bool writeReplacing(const QString &folder, const QString &target, const QByteArray &bytes)
{
    // A short hidden name, so that the longest acceptable title still fits and
    // the card-type dialog (which lists "*.xml") never sees a half-written file.
    QTemporaryFile temporary(folder + QStringLiteral(".download-XXXXXX.part"));
    if (!temporary.open())
        return false;
    if (temporary.write(bytes) != bytes.size() || !temporary.flush())
        return false;
    if (::fchmod(temporary.handle(), newFileMode()) != 0 || ::fsync(temporary.handle()) != 0)
        return false;

    // rename(2) replaces the target in one step, also a symbolic link of that
    // name (never the file it points to), and refuses to replace a folder.
    std::error_code error;
    std::filesystem::rename(
        QFile::encodeName(temporary.fileName()).toStdString(), QFile::encodeName(target).toStdString(), error);
    if (error)
        return false;
    temporary.setAutoRemove(false);
    return true;
}

} // namespace

bool modNengajo::IsSafeDataTitle(const QString &title)
{
    // A leading dot (also "." and "..") names a hidden file that the card-type
    // dialog never lists and later fetches never offer again.
    if (title.isEmpty() || title.startsWith(u'.') || !title.isValidUtf16())
        return false;
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (const QChar c : title) {
        // Format characters (U+202E and the like) make a name read otherwise
        // than it is stored; line and paragraph separators break it in two.
        switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return false;
        default:
            break;
        }
        if (forbidden.contains(c))
            return false;
    }
    return (title + QStringLiteral(".xml")).toUtf8().size() <= MaxFileNameBytes;
}

modNengajo::DataStoreResult modNengajo::StoreDataFile(
    const QString &dataFolder, const QString &title, const QByteArray &bytes)
{
    using Outcome = DataStoreResult::Outcome;
    // A page of a hotel's network, an empty answer, half a file: none of
    // them takes the place of a data file, nor the name a later fetch offers.
    if (const QString problem = CheckDataBytes(bytes); !problem.isEmpty())
        return {Outcome::NotADataFile, problem};
    if (!IsSafeDataTitle(title) || !QFileInfo(dataFolder).isDir())
        return {Outcome::NotWritten, {}};
    if (!writeReplacing(dataFolder, dataFolder + title + QStringLiteral(".xml"), bytes))
        return {Outcome::NotWritten, {}};
    return {Outcome::Stored, {}};
}
