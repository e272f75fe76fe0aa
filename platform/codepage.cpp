#include "platform/codepage.h"

#include <QStringDecoder>

#include <algorithm>

namespace platform {

namespace {

const QByteArray Utf8Bom("\xEF\xBB\xBF");

std::optional<QString> fromUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// The code page's text of bytes, only when it gives the same bytes back.
std::optional<QString> exactly(const QByteArray &bytes, const CodePage &codePage)
{
    const std::optional<QString> text = codePage.decode(bytes);
    if (!text || codePage.encode(*text) != bytes)
        return std::nullopt;
    return text;
}

} // namespace

LegacyText readLegacyText(const QByteArray &bytes, const CodePage &codePage)
{
    if (fromUtf8(bytes))
        return {bytes, false};
    if (const std::optional<QString> text = exactly(bytes, codePage))
        return {text->toUtf8(), true};
    return {bytes, false};
}

QByteArray legacyTextBytes(const QByteArray &utf8, const CodePage &codePage)
{
    if (utf8.startsWith(Utf8Bom))
        return utf8;
    const std::optional<QString> text = fromUtf8(utf8);
    if (!text)
        return utf8;
    const std::optional<QByteArray> bytes = codePage.encode(*text);
    return bytes && codePage.decode(*bytes) == text ? *bytes : utf8;
}

QString cutToBytes(const QByteArray &utf8, int maxBytes, const CodePage *codePage)
{
    const qsizetype room = std::max(maxBytes - 1, 0);
    if (!codePage) {
        qsizetype length = std::min(room, utf8.size());
        // Step back over continuation bytes to the start of the cut character.
        while (length > 0 && length < utf8.size() && (static_cast<unsigned char>(utf8.at(length)) & 0xC0) == 0x80)
            --length;
        return QString::fromUtf8(utf8.left(length));
    }
    const QString text = QString::fromUtf8(utf8);
    qsizetype bytes = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const qsizetype width = text.at(end).isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
        bytes += codePage->encode(text.mid(end, width)).value_or(QByteArray(room + 1, '?')).size();
        if (bytes > room)
            break;
        end += width;
    }
    return text.left(end);
}

} // namespace platform
