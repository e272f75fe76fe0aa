#include "platform/settingsfile.h"

#include "platform/filewrite.h"
#include "platform/regularfile.h"

#include <QFile>

#include <algorithm>
#include <optional>

// The INI file is handled as lines of bytes in the system's legacy code page
// (UTF-8 here). Only the names and the one value looked at are decoded, so every
// other line, comment, byte and line ending of the file stays exactly as it was.
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

// The key of a "key = value" line; lines without "=" hold no key.
std::optional<QString> keyName(const QByteArray &line)
{
    const qsizetype equals = line.indexOf('=');
    if (equals < 0)
        return std::nullopt;
    return QString::fromUtf8(line.left(equals).trimmed());
}

QByteArray rawValue(const QByteArray &line)
{
    QByteArray value = line.mid(line.indexOf('=') + 1).trimmed();
    // A value in matching quotes is read without them, as the system does.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// At most maxBytes - 1 bytes, never ending inside a multi-byte character.
QString cutToBuffer(const QByteArray &value, int maxBytes)
{
    if (maxBytes <= 1)
        return {};
    qsizetype length = qMin<qsizetype>(value.size(), maxBytes - 1);
    if (length < value.size()) {
        // Step back over continuation bytes to the start of the cut character.
        while (length > 0 && (static_cast<unsigned char>(value.at(length)) & 0xC0) == 0x80)
            --length;
    }
    return QString::fromUtf8(value.left(length));
}

struct Existing
{
    enum { Missing, Read, Unusable } state = Missing;
    QByteArray bytes;
};

// The whole file. Only a regular file is read: a FIFO, device or folder of
// that name, like a file that cannot be read or is too large, is unusable.
Existing readFile(const QString &path)
{
    QFile file;
    switch (openRegularFile(file, path, QIODevice::ReadOnly)) {
    case RegularFile::Missing:
        return {};
    case RegularFile::Opened:
        break;
    default:
        return {Existing::Unusable, {}};
    }
    QByteArray bytes = readUpTo(file, MaxFileBytes);
    if (bytes.size() > MaxFileBytes || file.error() != QFileDevice::NoError)
        return {Existing::Unusable, {}};
    return {Existing::Read, bytes};
}

// The CR a new line needs to end as most lines of the file end: none for a
// new file.
QByteArray usualCr(const QByteArrayList &lines)
{
    const auto crlf
        = std::count_if(lines.cbegin(), lines.cend() - 1, [](const QByteArray &line) { return line.endsWith('\r'); });
    return 2 * crlf > lines.size() - 1 ? QByteArray("\r") : QByteArray();
}

bool isBlank(const QByteArray &line)
{
    return line.trimmed().isEmpty();
}

bool holdsLineBreak(const QString &text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

// The value as it stands after the equals sign. Reading trims blanks and takes
// off one pair of matching quotes, so a value that would lose either is put in
// quotes: it then reads back exactly as written.
QByteArray storedValue(const QString &value)
{
    const QByteArray bytes = value.toUtf8();
    const bool blankAtEnds = !bytes.isEmpty() && bytes.trimmed().size() != bytes.size();
    const bool quoted
        = bytes.size() >= 2 && (bytes.front() == '"' || bytes.front() == '\'') && bytes.back() == bytes.front();
    return blankAtEnds || quoted ? '"' + bytes + '"' : bytes;
}

} // namespace

QString IniSettingsFile::readString(
    const QString &path, const QString &section, const QString &key, const QString &defaultValue, int maxBytes)
{
    const Existing file = readFile(path);
    bool inSection = false;
    for (const QByteArray &line : splitLines(file.bytes)) {
        if (const std::optional<QString> name = sectionName(line)) {
            // The first section of that name is the one the system reads.
            if (inSection)
                break;
            inSection = sameName(*name, section);
            continue;
        }
        if (!inSection)
            continue;
        if (const std::optional<QString> name = keyName(line); name && sameName(*name, key))
            return cutToBuffer(rawValue(line), maxBytes);
    }
    return cutToBuffer(defaultValue.toUtf8(), maxBytes);
}

bool IniSettingsFile::writeString(const QString &path, const QString &section, const QString &key, const QString &value)
{
    // A line break would split the entry and leave a damaged file behind.
    if (section.isEmpty() || key.isEmpty() || holdsLineBreak(section) || holdsLineBreak(key) || holdsLineBreak(value))
        return false;

    const Existing existing = readFile(path);
    if (existing.state == Existing::Unusable)
        return false;
    QByteArrayList lines = splitLines(existing.bytes);
    const QByteArray cr = usualCr(lines);

    qsizetype sectionLine = -1;
    qsizetype sectionEnd = lines.size(); // the next section header, or the end of the file
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const std::optional<QString> name = sectionName(lines.at(i));
        if (!name)
            continue;
        if (sectionLine >= 0) {
            sectionEnd = i;
            break;
        }
        if (sameName(*name, section))
            sectionLine = i;
    }

    const auto entry = [&](const QString &keyText) { return keyText.toUtf8() + '=' + storedValue(value); };

    // The last line of the file gets its line ending before anything follows it.
    const auto endLastLine = [&] {
        if (!lines.last().isEmpty()) {
            lines.last() += cr;
            lines.append(QByteArray());
        }
    };

    if (sectionLine < 0) {
        endLastLine();
        lines.insert(lines.size() - 1, '[' + section.toUtf8() + ']' + cr);
        lines.insert(lines.size() - 1, entry(key) + cr);
    } else {
        bool replaced = false;
        for (qsizetype i = sectionLine + 1; i < sectionEnd; ++i) {
            const std::optional<QString> name = keyName(lines.at(i));
            if (name && sameName(*name, key)) {
                // The key keeps the spelling the file gave it, the line its ending.
                lines[i] = entry(*name) + (lines.at(i).endsWith('\r') ? "\r" : "");
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            endLastLine();
            // After the last entry of the section, before the blank lines that
            // separate it from the next one.
            qsizetype at = std::min(sectionEnd, lines.size() - 1);
            while (at > sectionLine + 1 && isBlank(lines.at(at - 1)))
                --at;
            lines.insert(at, entry(key) + cr);
        }
    }

    const QByteArray bom = existing.bytes.startsWith(Utf8Bom) ? Utf8Bom : QByteArray();
    // A read-only file stays as it is, as it does for the system. The program
    // may change settings.ini in a folder that takes no new files.
    return replaceFile(path, bom + lines.join('\n'), ClosedFolder::RewriteInPlace).isEmpty();
}

} // namespace platform
