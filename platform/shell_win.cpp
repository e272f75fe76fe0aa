#include "platform/shell.h"

#include <QDir>
#include <QUrl>

#include <windows.h>

#include <shellapi.h>

namespace platform {

DesktopShell::DesktopShell(std::chrono::milliseconds answerTime)
    : m_answerTime(answerTime)
{ }

DesktopShell::~DesktopShell() = default;

void DesktopShell::open(const QString &target, std::function<void()> notOpened)
{
    // An absolute path is a local file or folder; anything else is an address.
    // The shell answers at once whether a program took it.
    const bool file = QDir::isAbsolutePath(target);
    const std::wstring what
        = (file ? QDir::toNativeSeparators(target) : QString::fromLatin1(QUrl(target).toEncoded())).toStdWString();
    const auto result
        = reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", what.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    // Above 32 is success; anything else is an error code.
    if (result <= 32)
        notOpened();
}

void DesktopShell::collect() { }

} // namespace platform
