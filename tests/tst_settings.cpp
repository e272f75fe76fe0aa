#include "core/Settings.h"

#include "platform/settingsfile.h"
#include "testsupport.h"

#include <QDir>
#include <QTest>
#include <QVariant>

#include <memory>

using namespace Qt::StringLiterals;

// settings.ini through its one owner: each key where a person editing the
// file finds it, typed values read back, and no write that changes nothing.
class tst_Settings : public QObject
{
    Q_OBJECT

private:
    QString path() const { return m_folder->path() + u"settings.ini"_s; }
    void put(const QByteArray &content) const
    {
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size());
    }
    static bool set(const QString &key, const QVariant &value)
    {
        if (key == u"FileName")
            return Settings::setFileName(value.toString());
        if (key == u"TextSize")
            return Settings::setTextSize(value.toInt());
        if (key == u"Reminded")
            return Settings::setReminded(value.toDate());
        return Settings::setRemindAtLogin(value.toBool());
    }
    static QVariant get(const QString &key)
    {
        if (key == u"FileName")
            return Settings::fileName();
        if (key == u"TextSize")
            return Settings::textSize().toInt();
        if (key == u"Reminded")
            return Settings::reminded();
        const std::optional<bool> answer = Settings::remindAtLogin();
        return answer ? QVariant(*answer) : QVariant();
    }

    std::unique_ptr<testsupport::ProgramFolderFixture> m_folder;
    platform::IniSettingsFile m_ini;
    platform::ScopedService<platform::SettingsFile> m_iniGuard {m_ini};

private slots:
    void init() { m_folder = std::make_unique<testsupport::ProgramFolderFixture>(); }
    void cleanup() { m_folder.reset(); }

    void eachKeyInItsSection_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("card type") << u"FileName"_s << QVariant(u"年賀状（令和8年度版）.xml"_s)
                                   << QByteArray("FileName=年賀状（令和8年度版）.xml");
        QTest::newRow("text size") << u"TextSize"_s << QVariant(150) << QByteArray("TextSize=150");
        QTest::newRow("day reminded") << u"Reminded"_s << QVariant(QDate(2026, 1, 25))
                                      << QByteArray("Reminded=2026-01-25");
        QTest::newRow("login reminder") << u"RemindAtLogin"_s << QVariant(false) << QByteArray("RemindAtLogin=0");
    }
    void eachKeyInItsSection()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(QByteArray, line);
        put("; mine\n[Other]\nX=1\n");
        QVERIFY(set(key, value));
        QCOMPARE(testsupport::fileBytes(path()), "; mine\n[Other]\nX=1\n[Settings]\n" + line + '\n');
        QCOMPARE(get(key), value);
    }

    // The remembered card type as the system's buffer would hold it: up to a
    // NUL; nothing before it is the default file.
    void fileNameRead_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("cut at a NUL") << QByteArray("[Settings]\nFileName=a.xml\0b\n", 27) << u"a.xml"_s;
        QTest::newRow("NUL first") << QByteArray("[Settings]\nFileName=\0b\n", 22) << modNengajo::DefaultFileName;
    }
    void fileNameRead()
    {
        QFETCH(QByteArray, content);
        put(content);
        QTEST(Settings::fileName(), "expected");
    }

    // A value the file already holds is not written again: a read-only
    // settings.ini that holds it is no failure. A missing key is written,
    // empty value or not.
    void onlyChangesAreWritten_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QByteArray>("after");
        const QByteArray held("[Settings]\nFileName=a.xml\n");
        QTest::newRow("same value, read-only file") << held << true << u"a.xml"_s << true << held;
        QTest::newRow("another value, read-only file") << held << true << u"b.xml"_s << false << held;
        QTest::newRow("empty value, key missing")
            << QByteArray("[Settings]\nX=1\n") << false << u""_s << true << QByteArray("[Settings]\nX=1\nFileName=\n");
    }
    void onlyChangesAreWritten()
    {
        QFETCH(QByteArray, before);
        QFETCH(bool, readOnly);
        QFETCH(QString, value);
        put(before);
        if (readOnly)
            QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner));
        QTEST(Settings::setFileName(value), "written");
        QTEST(testsupport::fileBytes(path()), "after");
    }

    // The card type kept as it is chosen: a settings.ini that cannot take it
    // is told once; one the user made read-only keeps its choice untold; at a
    // shutdown the next start tells it.
    void keepingTheFileName_data()
    {
        QTest::addColumn<QString>("settings"); // "folder": a folder of its name; "read-only": a read-only file
        QTest::addColumn<bool>("stopping");
        QTest::addColumn<bool>("toldBefore");
        QTest::addColumn<QString>("told"); // the beginning of the words to show; empty: none
        QTest::addColumn<bool>("toldAfter");
        QTest::addColumn<QString>("nextStart"); // the beginning of the words the next start shows
        const QString cannot = u"はがきの種類の選択を保存できません。\r\n設定ファイル \""_s;
        QTest::newRow("kept") << u"file"_s << false << false << u""_s << false << u""_s;
        QTest::newRow("cannot be kept") << u"folder"_s << false << false << cannot << true << u""_s;
        QTest::newRow("told before") << u"folder"_s << false << true << u""_s << true << u""_s;
        QTest::newRow("read-only on purpose") << u"read-only"_s << false << false << u""_s << false << u""_s;
        QTest::newRow("at a shutdown") << u"folder"_s << true << false << u""_s << true
                                       << u"前回の終了時に、はがきの種類の選択を設定ファイル \""_s;
    }
    void keepingTheFileName()
    {
        QFETCH(QString, settings);
        QFETCH(bool, stopping);
        QFETCH(bool, toldBefore);
        QFETCH(QString, told);
        QFETCH(QString, nextStart);
        if (settings == u"folder")
            QVERIFY(QDir().mkpath(path()));
        else
            put("[Settings]\nFileName=a.xml\n");
        if (settings == u"read-only")
            QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner));
        bool toldNow = toldBefore;
        const QString text = Settings::keepFileName(u"b.xml"_s, stopping, toldNow);
        QVERIFY2(told.isEmpty() ? text.isEmpty() : text.startsWith(told + QDir::toNativeSeparators(path())),
            qPrintable(text));
        QTEST(toldNow, "toldAfter");
        const QString atStart = Settings::unsavedFileNameText();
        QVERIFY2(
            nextStart.isEmpty() ? atStart.isEmpty() : atStart.startsWith(nextStart + QDir::toNativeSeparators(path())),
            qPrintable(atStart));
        QVERIFY(Settings::unsavedFileNameText().isEmpty());
    }

    // settings.ini in the system's code page (here Shift_JIS, as on a Japanese
    // Windows): the earlier program's file in it and this program's in UTF-8
    // both read; written in the code page while every character of the file
    // fits it, else UTF-8; a byte order mark keeps UTF-8. The value's 511
    // bytes are counted in the file's code page, as the system's buffer
    // counts them.
    void codePage_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("written"); // null: nothing written
        QTest::addColumn<QByteArray>("after");
        const auto sjis = [](const QString &text) { return *platform::shiftJisCodePage().encode(text); };
        const QString r8 = u"年賀状（令和8年度版）.xml"_s;
        const QString kadomatsu = u"🎍年賀状.xml"_s; // not in Shift_JIS
        const QString cards = QString(255, u'賀'); // 510 bytes in Shift_JIS, 765 in UTF-8
        QTest::newRow("the earlier program's Shift_JIS")
            << QByteArray("[Settings]\r\nFileName=\x94\x4e\x89\xea\x8f\xf3.xml\r\n") << u"年賀状.xml"_s << r8
            << "[Settings]\r\nFileName=" + sjis(r8) + "\r\n";
        QTest::newRow("this program's UTF-8, written in Shift_JIS")
            << QByteArray("; メモ\n[Settings]\nFileName=") + u"年賀状.xml"_s.toUtf8() + '\n'
            << u"年賀状.xml"_s << r8 << sjis(u"; メモ\n[Settings]\nFileName="_s + r8 + u'\n');
        QTest::newRow("a character Shift_JIS lacks: UTF-8")
            << sjis(u"; メモ\n[Settings]\nFileName=a.xml\n"_s) << u"a.xml"_s << kadomatsu
            << (u"; メモ\n[Settings]\nFileName="_s + kadomatsu + u'\n').toUtf8();
        QTest::newRow("UTF-8 with a byte order mark stays UTF-8")
            << QByteArray("\xEF\xBB\xBF[Settings]\nFileName=a.xml\n") << u"a.xml"_s << r8
            << "\xEF\xBB\xBF[Settings]\nFileName=" + r8.toUtf8() + '\n';
        QTest::newRow("511 bytes of Shift_JIS read whole")
            << sjis(u"[Settings]\nFileName="_s + cards + u"\n"_s) << cards << QString() << QByteArray();
        QTest::newRow("neither: the bytes kept")
            << QByteArray("; \xFF\xFE\n[Settings]\nFileName=a.xml\n") << u"a.xml"_s << u"b.xml"_s
            << QByteArray("; \xFF\xFE\n[Settings]\nFileName=b.xml\n");
    }
    void codePage()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, written);
        platform::IniSettingsFile shiftJis(platform::shiftJisCodePage());
        const platform::ScopedService<platform::SettingsFile> guard(shiftJis);
        put(before);
        QTEST(Settings::fileName(), "read");
        if (written.isNull())
            return;
        QVERIFY(Settings::setFileName(written));
        QTEST(testsupport::fileBytes(path()), "after");
        QCOMPARE(Settings::fileName(), written);
    }

    void unsavedNoteIsTakenOnce()
    {
        QVERIFY(!Settings::takeUnsavedFileNameNote());
        Settings::noteUnsavedFileName();
        QVERIFY(Settings::takeUnsavedFileNameNote());
        QVERIFY(!Settings::takeUnsavedFileNameNote());
    }

    // A remembered data file that is not there leaves no data in force; the
    // close drops its name, as ever, and says so once (38.15). A file that was
    // there but could not be loaded was told at the start.
    void droppedNameToldOnce_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<bool>("stopping");
        QTest::addColumn<QString>("told"); // the words shown; empty: none
        const QString gone = u"はがきの種類の選択を解除しました。\r\n当選番号データファイル\""_s;
        const QString rest = u"\"が見つかりません。次に起動したときは、はがきの種類を選択してください。"_s;
        QTest::newRow("missing file") << QByteArray("[Settings]\nFileName=gone.xml\n") << false
                                      << gone + u"gone.xml"_s + rest;
        QTest::newRow("leads out of the data folder")
            << QByteArray("[Settings]\nFileName=../data/a.xml\n") << false << gone + u"../data/a.xml"_s + rest;
        QTest::newRow("there, told at the start") << QByteArray("[Settings]\nFileName=a.xml\n") << false << u""_s;
        QTest::newRow("never chosen") << QByteArray("[Settings]\n") << false << u""_s;
        QTest::newRow("at a shutdown, nobody to tell")
            << QByteArray("[Settings]\nFileName=gone.xml\n") << true << u""_s;
    }
    void droppedNameToldOnce()
    {
        QFETCH(QByteArray, settings);
        QFETCH(bool, stopping);
        QFETCH(QString, told);
        put(settings);
        QVERIFY(m_folder->addFixture(u"select_three.xml"_s, u"a.xml"_s));
        Settings::fileName(); // as the start reads it
        bool toldNow = false;
        QCOMPARE(Settings::keepFileName({}, stopping, toldNow), told);
        QCOMPARE(toldNow, !told.isEmpty());
        QVERIFY(testsupport::fileBytes(path()).contains("FileName=\n"));
        QVERIFY(Settings::keepFileName({}, stopping, toldNow).isEmpty());
    }

    // The note of a choice lost at a shutdown is written through the seam: a
    // link in its place is replaced, never followed (38.5).
    void unsavedNoteReplacesALink()
    {
        const QString outside = m_folder->userPath() + u"outside.txt"_s;
        QVERIFY(QDir().mkpath(m_folder->userPath()));
        QFile target(outside);
        QVERIFY(target.open(QIODevice::WriteOnly) && target.write("theirs") == 6);
        target.close();
        QVERIFY(QFile::link(outside, path() + u".unsaved"_s));
        Settings::noteUnsavedFileName(u"b.xml"_s);
        QCOMPARE(testsupport::fileBytes(outside), QByteArray("theirs"));
        QCOMPARE(testsupport::fileBytes(path() + u".unsaved"_s), QByteArray("b.xml"));
    }

    // Only the program's own note, still true, tells the next start: a stale
    // one or anything else of that name goes untold.
    void unsavedNoteAtStart_data()
    {
        QTest::addColumn<QString>("note"); // "b.xml": a note of that name; "link", "folder"
        QTest::addColumn<bool>("told");
        QTest::newRow("the choice lost") << u"b.xml"_s << true;
        QTest::newRow("a note without a name") << u""_s << true;
        QTest::newRow("stale: settings.ini holds it by now") << u"a.xml"_s << false;
#ifndef Q_OS_WIN
        // QFile::link makes a shortcut file on Windows, not a link.
        QTest::newRow("a link in its place") << u"link"_s << false;
#endif
        QTest::newRow("a folder in its place") << u"folder"_s << false;
    }
    void unsavedNoteAtStart()
    {
        QFETCH(QString, note);
        put("[Settings]\nFileName=a.xml\n");
        const QString at = path() + u".unsaved"_s;
        if (note == u"link")
            QVERIFY(QFile::link(path(), at));
        else if (note == u"folder")
            QVERIFY(QDir().mkdir(at));
        else
            Settings::noteUnsavedFileName(note);
        QTEST(!Settings::unsavedFileNameText().isEmpty(), "told");
        QCOMPARE(QFileInfo::exists(at), note == u"folder");
        QCOMPARE(testsupport::fileBytes(path()), QByteArray("[Settings]\nFileName=a.xml\n"));
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
