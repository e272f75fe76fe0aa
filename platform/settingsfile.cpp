#include "platform/settingsfile.h"

#include "platform/filewrite.h"
#include "platform/regularfile.h"

#include <QFile>

#include <optional>

// The INI file is handled as lines of bytes in the system's legacy code page
// (UTF-8 here). Only the names and the one value looked at are decoded, so every
// other line, comment, byte and line ending of the file stays exactly as it was.
namespace platform {

namespace {

// Large enough for any settings file a person writes; anything bigger is not ours.
constexpr qint64 MaxFileBytes = 4 * 1024 * 1024;

const QByteArray Utf8Bom("\xEF\xBB\xBF");

struct Line
{
    QByteArray content; // without the line ending
    QByteArray ending; // "\r\n", "\n" or empty for the last line
};

struct Layout
{
    QByteArray bom;
    QList<Line> lines;
};

Layout splitLines(const QByteArray &bytes)
{
    Layout layout;
    QByteArray text = bytes;
    if (text.startsWith(Utf8Bom)) {
        layout.bom = Utf8Bom;
        text.remove(0, Utf8Bom.size());
    }
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype newline = text.indexOf('\n', start);
        if (newline < 0) {
            layout.lines.append({text.mid(start), {}});
            break;
        }
        Line line;
        if (newline > start && text.at(newline - 1) == '\r') {
            line.content = text.mid(start, newline - 1 - start);
            line.ending = "\r\n";
        } else {
            line.content = text.mid(start, newline - start);
            line.ending = "\n";
        }
        layout.lines.append(line);
        start = newline + 1;
    }
    return layout;
}

QByteArray joinLines(const Layout &layout)
{
    QByteArray bytes = layout.bom;
    for (const Line &line : layout.lines)
        bytes += line.content + line.ending;
    return bytes;
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

// The line ending most of the file uses; "\n" for a new file.
QByteArray usualEnding(const QList<Line> &lines)
{
    int crlf = 0;
    int lf = 0;
    for (const Line &line : lines) {
        if (line.ending == "\r\n")
            ++crlf;
        else if (line.ending == "\n")
            ++lf;
    }
    return crlf > lf ? QByteArray("\r\n") : QByteArray("\n");
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
    for (const Line &line : splitLines(file.bytes).lines) {
        if (const std::optional<QString> name = sectionName(line.content)) {
            // The first section of that name is the one the system reads.
            if (inSection)
                break;
            inSection = sameName(*name, section);
            continue;
        }
        if (!inSection)
            continue;
        if (const std::optional<QString> name = keyName(line.content); name && sameName(*name, key))
            return cutToBuffer(rawValue(line.content), maxBytes);
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
    Layout layout = splitLines(existing.bytes);
    QList<Line> &lines = layout.lines;
    const QByteArray ending = usualEnding(lines);

    qsizetype sectionLine = -1;
    qsizetype sectionEnd = lines.size(); // the next section header, or the end of the file
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const std::optional<QString> name = sectionName(lines.at(i).content);
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
        if (!lines.isEmpty() && lines.last().ending.isEmpty())
            lines.last().ending = ending;
    };

    if (sectionLine < 0) {
        endLastLine();
        lines.append({'[' + section.toUtf8() + ']', ending});
        lines.append({entry(key), ending});
    } else {
        bool replaced = false;
        for (qsizetype i = sectionLine + 1; i < sectionEnd; ++i) {
            const std::optional<QString> name = keyName(lines.at(i).content);
            if (name && sameName(*name, key)) {
                // The key keeps the spelling the file gave it.
                lines[i].content = entry(*name);
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            // After the last entry of the section, before the blank lines that
            // separate it from the next one.
            qsizetype at = sectionEnd;
            while (at > sectionLine + 1 && isBlank(lines.at(at - 1).content))
                --at;
            if (at == lines.size())
                endLastLine();
            lines.insert(at, {entry(key), ending});
        }
    }

    // A read-only file stays as it is, as it does for the system. The program
    // may change settings.ini in a folder that takes no new files.
    return replaceFile(path, joinLines(layout), ClosedFolder::RewriteInPlace).isEmpty();
}

} // namespace platform
