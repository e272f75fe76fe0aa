// The login reminder's "Run" value on Windows. Works on the user's own key
// (a throw-away Wine prefix in the tests), putting back what was there.
#include "core/LoginEntry.h"

#include <QSettings>
#include <QTest>

#include <windows.h>

using namespace Qt::StringLiterals;

namespace {

LoginEntryChange set(bool on, const QString &program)
{
    return RunKeyAutostart::set(on, program, {});
}

} // namespace

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
        QCOMPARE(RunKeyAutostart::find().kind, LoginEntry::Kind::None);
        QVERIFY(set(true, program).done());
        QCOMPARE(run().value(u"Harovan"_s).toString(), u"\"C:\\Users\\テスト\\Harovan\\harovan-remind.exe\""_s);
        QVERIFY(loginReminderOn());
        // Switched off in Task Manager's start-up list: off, and on again when asked.
        const BYTE off[12] = {3};
        QCOMPARE(::RegSetKeyValueW(HKEY_CURRENT_USER,
                     L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run", L"Harovan",
                     REG_BINARY, off, sizeof off),
            ERROR_SUCCESS);
        QCOMPARE(RunKeyAutostart::find().kind, LoginEntry::Kind::Off);
        QVERIFY(!loginReminderOn());
        QVERIFY(set(true, program).done());
        QVERIFY(loginReminderOn());
        QVERIFY(set(false, program).done());
        QVERIFY(!run().contains(u"Harovan"_s));
        QVERIFY(set(false, program).done());
    }

    void foreignValueIsLeftAlone()
    {
        run().setValue(u"Harovan"_s, u"\"C:\\Other\\other.exe\" --start"_s);
        const LoginEntry entry = RunKeyAutostart::find();
        QCOMPARE(entry.kind, LoginEntry::Kind::Foreign);
        QCOMPARE(entry.found, LoginEntry::Found::OtherProgram);
        QCOMPARE(entry.name, u"C:\\Other\\other.exe"_s);
        QCOMPARE(set(false, u"C:/H/harovan-remind.exe"_s).failure, LoginEntryChange::Failure::Foreign);
        QCOMPARE(set(true, u"C:/H/harovan-remind.exe"_s).failure, LoginEntryChange::Failure::Foreign);
        QCOMPARE(run().value(u"Harovan"_s).toString(), u"\"C:\\Other\\other.exe\" --start"_s);
    }
};

QTEST_GUILESS_MAIN(tst_AutostartWin)
#include "tst_autostart_win.moc"
