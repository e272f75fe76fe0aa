#include "platform/settingsfile.h"

#include "platform/codepage.h"
#include "platform/fileaccess.h"

#include <QFile>

#include <algorithm>
#include <optional>

// The INI file is handled as lines of UTF-8 bytes, read from and written in the
// system's legacy code page where the file's text fits it (codepage.h). Only the
// names and the one value looked at are decoded, so every other line, comment,
// byte and line ending of the file stays exactly as it was.
namespace platform {

namespace {

// Large enough for any settings file a person writes; anything bigger is not ours.
constexpr qint64 MaxFileBytes = 4 * 1024 * 1024;

const QByteArray Utf8Bom("\xEF\xBB\xBF");

// The file's text after any byte order mark, split at each LF. A line of a
// CR LF file keeps its CR, which trimming drops wherever a name or value is
// read; the last element is what follows the last LF, empty when the file
// ends with one.
QByteArrayList splitLines(const QByteArray &bytes)
{
    return (bytes.startsWith(Utf8Bom) ? bytes.mid(Utf8Bom.size()) : bytes).split('\n');
}

// The name of a section header line ("[ name ]"), or nothing for any other line.
std::optional<QString> sectionName(const QByteArray &line)
{
    const QByteArray trimmed = line.trimmed();
    if (!trimmed.startsWith('['))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(']');
    const QByteArray name = close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1);
    return QString::fromUtf8(name.trimmed());
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Whether line is the entry "key = value" of key.
bool isEntryOf(const QByteArray &line, const QString &key)
{
    const qsizetype equals = line.indexOf('=');
    return equals >= 0 && sameName(QString::fromUtf8(line.left(equals).trimmed()), key);
}

bool inQuotes(const QByteArray &value)
{
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

QByteArray rawValue(const QByteArray &line)
{
    const QByteArray value = line.mid(line.indexOf('=') + 1).trimmed();
    // A value in matching quotes is read without them, as the system does.
    return inQuotes(value) ? value.mid(1, value.size() - 2) : value;
}

// Where a key stands in the first section of its name, the one the system
// reads: the section's header line (-1: no such section), the line that ends
// the section (the next header, or the end of the file), and the key's first
// line in it (-1: none).
struct Place
{
    qsizetype section = -1;
    qsizetype end = 0;
    qsizetype key = -1;
};

Place findKey(const QByteArrayList &lines, const QString &section, const QString &key)
{
    Place place {-1, lines.size(), -1};
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const std::optional<QString> name = sectionName(lines.at(i))) {
            if (place.section >= 0) {
                place.end = i;
                break;
            }
            if (sameName(*name, section))
                place.section = i;
        } else if (place.section >= 0 && place.key < 0 && isEntryOf(lines.at(i), key)) {
            place.key = i;
        }
    }
    return place;
}

// The whole file, empty when there is none; nothing when it is unusable. Only
// a regular file is read: a FIFO, device or folder of that name, like a file
// that cannot be read or is too large, is unusable.
std::optional<QByteArray> readFile(const QString &path)
{
    QByteArray bytes;
    if (const FileResult read = readRegularFile(path, MaxFileBytes, bytes); !read.ok())
        return read.error == FileError::Missing ? std::optional(QByteArray()) : std::nullopt;
    return bytes;
}

// The CR a new line needs to end as most lines of the file end: none for a
// new file.
QByteArray usualCr(const QByteArrayList &lines)
{
    const auto crlf
        = std::count_if(lines.cbegin(), lines.cend() - 1, [](const QByteArray &line) { return line.endsWith('\r'); });
    return 2 * crlf > lines.size() - 1 ? QByteArray("\r") : QByteArray();
}

// The value as it stands after the equals sign. Reading trims blanks and takes
// off one pair of matching quotes, so a value that would lose either is put in
// quotes: it then reads back exactly as written.
QByteArray storedValue(const QString &value)
{
    const QByteArray bytes = value.toUtf8();
    const bool blankAtEnds = !bytes.isEmpty() && bytes.trimmed().size() != bytes.size();
    return blankAtEnds || inQuotes(bytes) ? '"' + bytes + '"' : bytes;
}

} // namespace

IniSettingsFile::IniSettingsFile(const CodePage &codePage)
    : m_codePage(codePage)
{ }

QString IniSettingsFile::readString(
    const QString &path, const QString &section, const QString &key, const QString &defaultValue, int maxBytes)
{
    const LegacyText text = readLegacyText(readFile(path).value_or(QByteArray()), m_codePage);
    const QByteArrayList lines = splitLines(text.utf8);
    const Place place = findKey(lines, section, key);
    return cutToBytes(place.key >= 0 ? rawValue(lines.at(place.key)) : defaultValue.toUtf8(), maxBytes,
        text.inCodePage ? &m_codePage : nullptr);
}

bool IniSettingsFile::writeString(const QString &path, const QString &section, const QString &key, const QString &value)
{
    // A line break would split the entry and leave a damaged file behind.
    const QString written = section + key + value;
    if (section.isEmpty() || key.isEmpty() || written.contains(u'\n') || written.contains(u'\r'))
        return false;

    const std::optional<QByteArray> existing = readFile(path);
    if (!existing)
        return false;
    const QByteArray text = readLegacyText(*existing, m_codePage).utf8;
    QByteArrayList lines = splitLines(text);
    const QByteArray cr = usualCr(lines);
    const Place place = findKey(lines, section, key);
    if (place.key >= 0) {
        // The key keeps the spelling the file gave it, the line its ending.
        QByteArray &line = lines[place.key];
        line = line.left(line.indexOf('=')).trimmed() + '=' + storedValue(value) + (line.endsWith('\r') ? "\r" : "");
    } else {
        const QByteArray entry = key.toUtf8() + '=' + storedValue(value) + cr;
        // The last line of the file gets its line ending before anything follows it.
        if (!lines.last().isEmpty()) {
            lines.last() += cr;
            lines.append(QByteArray());
        }
        if (place.section < 0) {
            lines.insert(lines.size() - 1, '[' + section.toUtf8() + ']' + cr);
            lines.insert(lines.size() - 1, entry);
        } else {
            // After the last entry of the section, before the blank lines that
            // separate it from the next one.
            qsizetype at = std::min(place.end, lines.size() - 1);
            while (at > place.section + 1 && lines.at(at - 1).trimmed().isEmpty())
                --at;
            lines.insert(at, entry);
        }
    }

    const QByteArray bom = text.startsWith(Utf8Bom) ? Utf8Bom : QByteArray();
    // A read-only file stays as it is, as it does for the system. The program
    // may change settings.ini in a folder that takes no new files.
    return writeFile(path, legacyTextBytes(bom + lines.join('\n'), m_codePage), ClosedFolder::RewriteInPlace).ok();
}

} // namespace platform
