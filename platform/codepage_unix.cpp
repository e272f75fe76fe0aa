#include "platform/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

namespace {

// A code page through Qt's converters (ICU's, for the Japanese ones).
class QtCodePage final : public CodePage
{
public:
    explicit QtCodePage(const char *name)
        : m_name(name)
    { }
    std::optional<QString> decode(const QByteArray &bytes) const override
    {
        QStringDecoder decoder(m_name, QStringConverter::Flag::Stateless);
        QString text = decoder(bytes);
        return decoder.isValid() && !decoder.hasError() ? std::optional(text) : std::nullopt;
    }
    std::optional<QByteArray> encode(const QString &text) const override
    {
        QStringEncoder encoder(m_name, QStringConverter::Flag::Stateless);
        QByteArray bytes = encoder(text);
        return encoder.isValid() && !encoder.hasError() ? std::optional(bytes) : std::nullopt;
    }

private:
    const char *m_name;
};

} // namespace

const CodePage &systemCodePage()
{
    static const QtCodePage utf8("UTF-8");
    return utf8;
}

const CodePage &shiftJisCodePage()
{
    // Windows' code page 932 is Shift_JIS with its vendors' characters.
    static const QtCodePage shiftJis("windows-31j");
    return shiftJis;
}

} // namespace platform
