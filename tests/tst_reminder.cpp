#include "core/KigenReminder.h"
#include "core/LoginEntryTexts.h"
#include "core/ProgramState.h"
#include "core/Reminder.h"
#include "core/Settings.h"
#include "fakeservices.h"
#include "testsupport.h"

#include "platform/settingsfile.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QDate Today(2026, 7, 10);

PendingDraw pending(const QString &type, qint64 daysLeft, int count)
{
    return {{type, u"令和8"_s, type + u".xml"_s, daysLeft == 999 ? QDate() : Today.addDays(daysLeft)}, count};
}

} // namespace

Q_DECLARE_METATYPE(PendingDraw)
Q_DECLARE_METATYPE(LoginEntryChange)

class tst_Reminder : public QObject
{
    Q_OBJECT

private slots:
    void check_data()
    {
        QTest::addColumn<QList<PendingDraw>>("draws");
        QTest::addColumn<QDate>("lastAsked");
        QTest::addColumn<QString>("question");

        const QDate yesterday = Today.addDays(-1);
        const QString two = u"引換がまだの当たりはがきが2枚あります。\r\n"_s;
        const QString ask = u"\r\n一覧を表示しますか？"_s;

        // The days before the last exchange day
        QTest::newRow("31 days") << QList {pending(u"年賀状"_s, 31, 2)} << yesterday << QString();
        QTest::newRow("30 days") << QList {pending(u"年賀状"_s, 30, 2)} << yesterday
                                 << two + u"賞品の引換は2026年8月9日まで（あと30日）です。"_s + ask;
        QTest::newRow("1 day") << QList {pending(u"年賀状"_s, 1, 2)} << yesterday
                               << two + u"賞品の引換は2026年7月11日まで（あと1日）です。"_s + ask;
        QTest::newRow("the last day") << QList {pending(u"年賀状"_s, 0, 2)} << QDate()
                                      << two + u"賞品の引換は本日2026年7月10日までです。"_s + ask;
        QTest::newRow("a day past") << QList {pending(u"年賀状"_s, -1, 2)} << yesterday << QString();

        // Once a day
        QTest::newRow("already asked today") << QList {pending(u"年賀状"_s, 10, 2)} << Today << QString();
        QTest::newRow("asked on a later day: the clock was put back")
            << QList {pending(u"年賀状"_s, 10, 2)} << Today.addDays(3)
            << two + u"賞品の引換は2026年7月20日まで（あと10日）です。"_s + ask;

        // Which draw: the nearest last day, with every card that must go by it
        QTest::newRow("nearest of several, cards of the same day added")
            << QList {pending(u"かもめ〜る"_s, 20, 5), pending(u"年賀状"_s, 12, 1), pending(u"寄付金付"_s, 12, 1),
                   pending(u"past"_s, -3, 4), pending(u"no day"_s, 999, 7)}
            << yesterday << two + u"賞品の引換は2026年7月22日まで（あと12日）です。"_s + ask;
        QTest::newRow("nothing left to exchange") << QList<PendingDraw> {} << QDate() << QString();
    }
    void check()
    {
        QFETCH(QList<PendingDraw>, draws);
        QFETCH(QDate, lastAsked);
        QFETCH(QString, question);
        const std::optional<Reminder::Due> due = Reminder::Check(Today, draws, lastAsked);
        QCOMPARE(due ? Reminder::QuestionText(*due) : QString(), question);
    }

    // Asked when the program is closed, while a draw's exchange is open, no
    // entry is at the login reminder's place and the user has not said no.
    void offerLoginReminder_data()
    {
        QTest::addColumn<QList<PendingDraw>>("draws");
        QTest::addColumn<int>("answered"); // -1 never, 0 no, 1 yes
        QTest::addColumn<bool>("entryThere");
        QTest::addColumn<bool>("offered");
        QTest::newRow("open for months") << QList {pending(u"年賀状"_s, 150, 1)} << -1 << false << true;
        QTest::newRow("the last day") << QList {pending(u"年賀状"_s, 0, 1)} << -1 << false << true;
        QTest::newRow("answered no") << QList {pending(u"年賀状"_s, 150, 1)} << 0 << false << false;
        QTest::newRow("answered yes, the entry there") << QList {pending(u"年賀状"_s, 150, 1)} << 1 << true << false;
        // Uninstalled and installed again: the Run value has gone, settings.ini has kept the yes.
        QTest::newRow("answered yes, the entry gone since")
            << QList {pending(u"年賀状"_s, 150, 1)} << 1 << false << true;
        QTest::newRow("never answered, an entry there") << QList {pending(u"年賀状"_s, 150, 1)} << -1 << true << false;
        QTest::newRow("only ended or undated draws")
            << QList {pending(u"年賀状"_s, -1, 2), pending(u"no day"_s, 999, 3)} << -1 << false << false;
        QTest::newRow("an empty book") << QList<PendingDraw> {} << -1 << false << false;
    }
    void offerLoginReminder()
    {
        QFETCH(QList<PendingDraw>, draws);
        QFETCH(int, answered);
        QFETCH(bool, entryThere);
        QFETCH(bool, offered);
        QCOMPARE(Reminder::OfferLoginReminder(
                     Today, draws, answered < 0 ? std::nullopt : std::optional(answered == 1), entryThere),
            offered);
    }

    // Why a change of the login reminder's entry failed, in the user's words:
    // a file of the autostart folder, or a value of Windows' Run key.
    void loginEntryWords_data()
    {
        using Failure = LoginEntryChange::Failure;
        using Found = LoginEntry::Found;
        QTest::addColumn<bool>("inFile");
        QTest::addColumn<LoginEntryChange>("change");
        QTest::addColumn<QString>("words");
        const auto change = [](Failure failure, const QString &path, const platform::FileResult &refusal = {},
                                const QString &other = {}) {
            LoginEntryChange c;
            c.failure = failure;
            c.path = path;
            c.refusal = refusal;
            c.other = other;
            return c;
        };
        const auto foreign = [&change](const QString &path, Found found, const QString &name = {}) {
            LoginEntryChange c = change(Failure::Foreign, path);
            c.entry.kind = LoginEntry::Kind::Foreign;
            c.entry.found = found;
            c.entry.name = name;
            return c;
        };
        const QString entry = u"/h/.config/autostart/harovan-reminder.desktop"_s;
        const QString run = u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Harovan"_s;
        const QString foreignHead
            = u"ログイン時のお知らせの設定ファイルの場所 \""_s + QDir::toNativeSeparators(entry) + u"\" にあるのは、"_s;
        const QString foreignTail
            = u"で、このプログラムのものではありません。\r\nこのファイルは変更も削除もしません。"_s;
        const platform::FileResult refused {platform::FileError::WriteDenied, u"Permission denied"_s};
        const QString denied = u"書き込みが許可されていません（Permission denied）"_s;

        QTest::newRow("done") << true << LoginEntryChange() << QString();
        QTest::newRow("no home") << true << change(Failure::NoHome, {})
                                 << u"ホームフォルダーがないため、ログイン時のお知らせを設定できません。"_s;
        QTest::newRow("another program's") << true << foreign(entry, Found::OtherProgram, u"/usr/bin/other"_s)
                                           << foreignHead + u"別のプログラム \""_s
                + QDir::toNativeSeparators(u"/usr/bin/other"_s) + u"\" の設定"_s + foreignTail;
        QTest::newRow("a link") << true << foreign(entry, Found::Link, u"/h/.bashrc"_s)
                                << foreignHead + u"ファイル \""_s + QDir::toNativeSeparators(u"/h/.bashrc"_s)
                + u"\" へのリンク"_s + foreignTail;
        QTest::newRow("a link to nowhere") << true << foreign(entry, Found::LinkToNothing, u"/h/gone"_s)
                                           << foreignHead + u"ないファイル \""_s
                + QDir::toNativeSeparators(u"/h/gone"_s) + u"\" へのリンク"_s + foreignTail;
        QTest::newRow("a folder") << true << foreign(entry, Found::Folder)
                                  << foreignHead + u"フォルダー"_s + foreignTail;
        QTest::newRow("unreadable") << true << foreign(entry, Found::Unreadable)
                                    << foreignHead + u"読めないファイル"_s + foreignTail;
        QTest::newRow("no Exec") << true << foreign(entry, Found::NotAnEntry)
                                 << foreignHead + u"ログイン時に起動するプログラムの設定ではないファイル"_s
                + foreignTail;
        QTest::newRow("a line break in the program's path")
            << true << change(Failure::ProgramPath, u"/a\nb/harovan-remind"_s)
            << u"プログラムの場所 \""_s + QDir::toNativeSeparators(u"/a\nb/harovan-remind"_s)
                + u"\" をログイン時に起動するよう設定できません。"_s;
        QTest::newRow("a file where the folder belongs")
            << true << change(Failure::FolderNotMade, u"/h/conf/autostart"_s, {}, u"/h/conf"_s)
            << u"フォルダー \""_s + QDir::toNativeSeparators(u"/h/conf/autostart"_s)
                + u"\" を作れませんでした。\r\n\""_s + QDir::toNativeSeparators(u"/h/conf"_s)
                + u"\" はフォルダーではなくファイルです。"_s;
        QTest::newRow("a folder that takes none")
            << true << change(Failure::FolderNotMade, u"/h/conf/autostart"_s, refused)
            << u"フォルダー \""_s + QDir::toNativeSeparators(u"/h/conf/autostart"_s) + u"\" を作れませんでした。\r\n"_s
                + denied;
        QTest::newRow("not written") << true << change(Failure::NotWritten, entry, refused)
                                     << u"ファイル \""_s + QDir::toNativeSeparators(entry)
                + u"\" に保存できませんでした。\r\n"_s + denied;
        QTest::newRow("not removed") << true << change(Failure::NotRemoved, entry, refused)
                                     << u"ファイル \""_s + QDir::toNativeSeparators(entry)
                + u"\" を削除できませんでした。\r\n"_s + denied;

        QTest::newRow("Run: another program's") << false << foreign(run, Found::OtherProgram, u"C:\\Other\\other.exe"_s)
                                                << u"ログイン時のお知らせの設定 "_s + run
                + u" にあるのは、別のプログラム \"C:\\Other\\other.exe\" の設定で、このプログラムのものではありません。"
                  u"\r\nこの設定は変更も削除もしません。"_s;
        QTest::newRow("Run: a quote in the program's path")
            << false << change(Failure::ProgramPath, u"C:\\a\"b\\harovan-remind.exe"_s)
            << u"プログラムの場所 \"C:\\a\"b\\harovan-remind.exe\" は、ログイン時に起動する設定に書けません。"_s;
        QTest::newRow("Run: not written") << false << change(Failure::NotWritten, run, refused)
                                          << u"ログイン時のお知らせを設定できませんでした。\r\n"_s + denied;
    }
    void loginEntryWords()
    {
        QFETCH(bool, inFile);
        QFETCH(LoginEntryChange, change);
        QTEST(LoginEntryTexts::failure(change, inFile), "words");
    }

    // The notification says the same on one line; the date asked is kept with
    // the program's other setting.
    void notificationAndTheDayAsked()
    {
        const Reminder::Due due = *Reminder::Check(Today, {pending(u"年賀状"_s, 11, 3)}, {});
        QCOMPARE(due.draws.size(), 1);
        QCOMPARE(Reminder::NotificationBody(due),
            u"引換がまだの当たりはがきが3枚あります。賞品の引換は2026年7月21日まで（あと11日）です。"_s);

        const testsupport::ProgramFolderFixture folder;
        platform::IniSettingsFile ini;
        const platform::ScopedService<platform::SettingsFile> settings(ini);
        QVERIFY(ini.writeString(folder.path() + u"settings.ini"_s, u"Settings"_s, u"FileName"_s, u"a.xml"_s));
        QCOMPARE(Settings::reminded(), QDate());
        QVERIFY(Settings::setReminded(Today));
        QCOMPARE(Settings::reminded(), Today);
        QCOMPARE(Settings::remindAtLogin(), std::nullopt);
        QVERIFY(Settings::setRemindAtLogin(false));
        QCOMPARE(Settings::remindAtLogin(), std::optional(false));
        QVERIFY(Settings::setRemindAtLogin(true));
        QCOMPARE(Settings::remindAtLogin(), std::optional(true));
        QCOMPARE(Settings::reminded(), Today);
        QCOMPARE(ini.readString(folder.path() + u"settings.ini"_s, u"Settings"_s, u"FileName"_s, {}), u"a.xml"_s);
    }

    // At start-up, once a day: the question about the cards due, and on Yes
    // their list on their own draw, whose file is put in force. The question at
    // closing is asked once, its answer kept.
    void startUpAndClosing()
    {
        const testsupport::ProgramFolderFixture folder;
        testsupport::FakeServices fakes;
        fakes.clock.date = Today;
        const QString r7 = u"年賀状（令和7年度版）.xml"_s;
        const QString r8 = u"年賀状（令和8年度版）.xml"_s;
        QVERIFY(folder.addSchema() && folder.addData(testsupport::bundledPath(r7))
            && folder.addData(testsupport::bundledPath(r8)));
        ProgramState state(folder.path() + u"atari.db"_s);
        QVERIFY(state.data.LoadDataFile(r8).loaded());
        const WinningData drawR8 = state.data.winningData();
        state.book.add(
            AtariDraw::of(drawR8), u"****73"_s, 3, drawR8.prizeClass(3).strSyouhin, QDateTime::currentDateTime());
        QVERIFY(state.data.LoadDataFile(r7).loaded());

        KigenReminder reminder(state.data, state.book);
        QSignalSpy listAsked(&reminder, &KigenReminder::showListRequested);
        QSignalSpy changed(&state.data, &DataInForce::changed);
        reminder.startUp(false);
        QCOMPARE(fakes.messageBox.shown.size(), 1);
        QCOMPARE(fakes.messageBox.shown.first().text,
            Reminder::QuestionText(*Reminder::Check(Today, state.book.pendingDraws(), {})));
        QCOMPARE(state.data.winningData().strFileName, r8);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(listAsked.size(), 1);

        reminder.startUp(false);
        QCOMPARE(fakes.messageBox.shown.size(), 1);
        reminder.startUp(true);
        QCOMPARE(fakes.messageBox.shown.size(), 1);
        QCOMPARE(listAsked.size(), 2);

        fakes.messageBox.answers = {platform::MessageBox::Answer::No};
        reminder.offerLoginReminder(nullptr);
        reminder.offerLoginReminder(nullptr);
        QCOMPARE(fakes.messageBox.shown.size(), 2);
        QCOMPARE(fakes.messageBox.shown.last().text, Reminder::LoginReminderQuestion);
        QCOMPARE(Settings::remindAtLogin(), std::optional(false));
    }
};

QTEST_GUILESS_MAIN(tst_Reminder)
#include "tst_reminder.moc"
