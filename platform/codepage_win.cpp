#include "platform/codepage.h"

#include <windows.h>

namespace platform {

namespace {

// A code page of the system's own conversions. A character without a form
// of its own in the code page (best-fit mappings, the default character) does
// not fit it.
class WindowsCodePage final : public CodePage
{
public:
    explicit WindowsCodePage(UINT page)
        : m_page(page)
    { }
    std::optional<QString> decode(const QByteArray &bytes) const override
    {
        if (bytes.isEmpty())
            return QString();
        const int units
            = ::MultiByteToWideChar(m_page, MB_ERR_INVALID_CHARS, bytes.constData(), int(bytes.size()), nullptr, 0);
        if (units <= 0)
            return std::nullopt;
        std::wstring wide(std::size_t(units), L'\0');
        ::MultiByteToWideChar(m_page, MB_ERR_INVALID_CHARS, bytes.constData(), int(bytes.size()), wide.data(), units);
        return QString::fromWCharArray(wide.data(), units);
    }
    std::optional<QByteArray> encode(const QString &text) const override
    {
        if (text.isEmpty())
            return QByteArray();
        const std::wstring wide = text.toStdWString();
        // UTF-8 takes neither the flag nor the question whether the default character was used.
        const bool utf8 = m_page == CP_UTF8;
        BOOL usedDefault = FALSE;
        const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
        const int size = ::WideCharToMultiByte(
            m_page, flags, wide.data(), int(wide.size()), nullptr, 0, nullptr, utf8 ? nullptr : &usedDefault);
        if (size <= 0 || usedDefault)
            return std::nullopt;
        QByteArray bytes(size, Qt::Uninitialized);
        ::WideCharToMultiByte(m_page, flags, wide.data(), int(wide.size()), bytes.data(), size, nullptr, nullptr);
        return bytes;
    }

private:
    UINT m_page;
};

} // namespace

const CodePage &systemCodePage()
{
    static const WindowsCodePage ansi(::GetACP());
    return ansi;
}

const CodePage &shiftJisCodePage()
{
    static const WindowsCodePage shiftJis(932);
    return shiftJis;
}

} // namespace platform
