#include "platform/autostart.h"

#include "platform/filewrite.h"
#include "platform/programfolder.h"
#include "platform/winerror_win.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

#include <windows.h>

// On Windows the login reminder is the value "Harovan" of the user's "Run"
// key, a command line that starts harovan-remind.exe; Task Manager's start-up
// list switches it off in the key StartupApproved\Run beside it. Only a value
// that runs harovan-remind.exe is ever changed or removed.
namespace platform {

namespace {

const wchar_t RunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t ApprovedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
const wchar_t ValueName[] = L"Harovan";
const QString ProgramName = QStringLiteral("harovan-remind.exe");

// The value's text; nothing when there is none.
std::optional<QString> runValue()
{
    DWORD bytes = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, RunKey, ValueName, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
            nullptr, nullptr, &bytes)
        != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    if (::RegGetValueW(HKEY_CURRENT_USER, RunKey, ValueName, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
            nullptr, text.data(), &bytes)
        != ERROR_SUCCESS)
        return std::nullopt;
    return QString::fromWCharArray(text.c_str());
}

// The program a command line starts: its first argument, quoted or not.
QString commandProgram(const QString &command)
{
    const QString text = command.trimmed();
    if (text.startsWith(u'"'))
        return text.mid(1, text.indexOf(u'"', 1) - 1);
    return text.section(u' ', 0, 0);
}

// Whether Task Manager's start-up list has switched the value off: the first
// byte of its entry there is even when on, odd when off.
bool switchedOff()
{
    BYTE state[12] = {};
    DWORD bytes = sizeof state;
    return ::RegGetValueW(HKEY_CURRENT_USER, ApprovedKey, ValueName, RRF_RT_REG_BINARY, nullptr, state, &bytes)
        == ERROR_SUCCESS
        && bytes > 0 && (state[0] & 1) != 0;
}

QString registryError(LSTATUS status)
{
    return QStringLiteral("ログイン時のお知らせを設定できませんでした。\r\n") + windowsErrorText(status);
}

} // namespace

QString autostartFolder()
{
    return {};
}

QString reminderEntryPath()
{
    return QStringLiteral("HKEY_CURRENT_USER\\") + QString::fromWCharArray(RunKey) + u'\\'
        + QString::fromWCharArray(ValueName);
}

QString reminderProgram()
{
    return programFolder() + ProgramName;
}

QByteArray reminderEntry(const QString &program, bool)
{
    if (program.contains(u'"') || program.contains(u'\n') || program.contains(u'\r'))
        return {};
    return (u'"' + QDir::toNativeSeparators(program) + u'"').toUtf8();
}

LoginEntry findLoginEntry()
{
    const std::optional<QString> value = runValue();
    if (!value)
        return {};
    const QString program = commandProgram(*value);
    if (QFileInfo(program).fileName().compare(ProgramName, Qt::CaseInsensitive) != 0)
        return {LoginEntry::Kind::Foreign, false,
            QStringLiteral("別のプログラム \"") + QDir::toNativeSeparators(program) + QStringLiteral("\" の設定")};
    return {switchedOff() ? LoginEntry::Kind::Off : LoginEntry::Kind::On, false, {}};
}

bool loginReminderOn()
{
    return findLoginEntry().kind == LoginEntry::Kind::On;
}

QString setLoginReminder(bool on, const QString &program)
{
    const LoginEntry entry = findLoginEntry();
    if (entry.kind == LoginEntry::Kind::Foreign)
        return QStringLiteral("ログイン時のお知らせの設定 ") + reminderEntryPath() + QStringLiteral(" にあるのは、")
            + entry.found
            + QStringLiteral("で、このプログラムのものではありません。\r\nこの設定は変更も削除もしません。");
    if (!on) {
        if (entry.kind == LoginEntry::Kind::None)
            return {};
        const LSTATUS status = ::RegDeleteKeyValueW(HKEY_CURRENT_USER, RunKey, ValueName);
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? QString() : registryError(status);
    }
    const QByteArray command = reminderEntry(program);
    if (command.isEmpty())
        return QStringLiteral("プログラムの場所 \"") + QDir::toNativeSeparators(program)
            + QStringLiteral("\" は、ログイン時に起動する設定に書けません。");
    const std::wstring text = QString::fromUtf8(command).toStdWString();
    HKEY key = nullptr;
    LSTATUS status = ::RegCreateKeyExW(
        HKEY_CURRENT_USER, RunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        status = ::RegSetValueExW(key, ValueName, 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()),
            DWORD((text.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS)
        return registryError(status);
    // Switched on here is on, also where Task Manager had switched it off.
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, ApprovedKey, ValueName);
    return {};
}

QString updateEarlierLoginReminder(const QString &)
{
    // No earlier version ran on Windows.
    return {};
}

} // namespace platform
