#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

// A legacy (non-Unicode) code page, such as the system's ANSI code page on
// Windows, in which the earlier program kept settings.ini.
class CodePage
{
public:
    virtual ~CodePage() = default;
    // The text; nothing when bytes are not text of the code page.
    virtual std::optional<QString> decode(const QByteArray &bytes) const = 0;
    // The bytes; nothing when a character of text has no form in it.
    virtual std::optional<QByteArray> encode(const QString &text) const = 0;
};

// The system's: on Windows its ANSI code page (Shift_JIS on a Japanese
// system); UTF-8 on the other systems, whose text files are UTF-8.
const CodePage &systemCodePage();
// Shift_JIS as a Japanese Windows has it (code page 932).
const CodePage &shiftJisCodePage();

// A text file written by the earlier program in the code page, or by this
// program in UTF-8, as UTF-8: bytes that are valid UTF-8 are taken as they
// are; else the code page's text when the bytes are exactly that; else the
// bytes as they are. inCodePage: the file is in the code page.
struct LegacyText
{
    QByteArray utf8;
    bool inCodePage = false;
};
LegacyText readLegacyText(const QByteArray &bytes, const CodePage &codePage);

// The bytes that keep utf8: in the code page when every character fits in
// it, so that the earlier program reads them too; else UTF-8 as it is (also
// after a UTF-8 byte order mark, which says the file is UTF-8).
QByteArray legacyTextBytes(const QByteArray &utf8, const CodePage &codePage);

// The longest start of the text utf8 that takes at most maxBytes - 1 bytes,
// counted in the code page (nullptr: in UTF-8), as the system's buffer holds
// a value; never ending inside a character.
QString cutToBytes(const QByteArray &utf8, int maxBytes, const CodePage *codePage);

} // namespace platform
