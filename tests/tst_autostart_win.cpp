// The login reminder's "Run" value on Windows. Works on the user's own key
// (a throw-away Wine prefix in the tests), putting back what was there.
#include "platform/autostart.h"

#include <QSettings>
#include <QTest>

#include <windows.h>

using namespace Qt::StringLiterals;

class tst_AutostartWin : public QObject
{
    Q_OBJECT

    const QString runKey = u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"_s;
    const QString approvedKey
        = u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run"_s;
    QVariant m_saved;

    QSettings run() const { return QSettings(runKey, QSettings::NativeFormat); }

private slots:
    void init()
    {
        m_saved = run().value(u"Harovan"_s);
        run().remove(u"Harovan"_s);
    }
    void cleanup()
    {
        QSettings key(runKey, QSettings::NativeFormat);
        if (m_saved.isValid())
            key.setValue(u"Harovan"_s, m_saved);
        else
            key.remove(u"Harovan"_s);
        QSettings(approvedKey, QSettings::NativeFormat).remove(u"Harovan"_s);
    }

    void onAndOffRoundTrip()
    {
        const QString program = u"C:/Users/テスト/Harovan/harovan-remind.exe"_s;
        QCOMPARE(platform::findLoginEntry().kind, platform::LoginEntry::Kind::None);
        QCOMPARE(platform::setLoginReminder(true, program), QString());
        QCOMPARE(run().value(u"Harovan"_s).toString(), u"\"C:\\Users\\テスト\\Harovan\\harovan-remind.exe\""_s);
        QVERIFY(platform::loginReminderOn());
        // Switched off in Task Manager's start-up list: off, and on again when asked.
        const BYTE off[12] = {3};
        QCOMPARE(::RegSetKeyValueW(HKEY_CURRENT_USER,
                     L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run", L"Harovan",
                     REG_BINARY, off, sizeof off),
            ERROR_SUCCESS);
        QCOMPARE(platform::findLoginEntry().kind, platform::LoginEntry::Kind::Off);
        QCOMPARE(platform::setLoginReminder(true, program), QString());
        QVERIFY(platform::loginReminderOn());
        QCOMPARE(platform::setLoginReminder(false, program), QString());
        QVERIFY(!run().contains(u"Harovan"_s));
        QCOMPARE(platform::setLoginReminder(false, program), QString());
    }

    void foreignValueIsLeftAlone()
    {
        run().setValue(u"Harovan"_s, u"\"C:\\Other\\other.exe\" --start"_s);
        const platform::LoginEntry entry = platform::findLoginEntry();
        QCOMPARE(entry.kind, platform::LoginEntry::Kind::Foreign);
        QVERIFY(entry.found.contains(u"C:\\Other\\other.exe"_s));
        QVERIFY(!platform::setLoginReminder(false, u"C:/H/harovan-remind.exe"_s).isEmpty());
        QVERIFY(!platform::setLoginReminder(true, u"C:/H/harovan-remind.exe"_s).isEmpty());
        QCOMPARE(run().value(u"Harovan"_s).toString(), u"\"C:\\Other\\other.exe\" --start"_s);
    }
};

QTEST_GUILESS_MAIN(tst_AutostartWin)
#include "tst_autostart_win.moc"
