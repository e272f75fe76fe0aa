#include "core/KigenReminder.h"
#include "core/ProgramState.h"
#include "core/Reminder.h"
#include "core/Settings.h"
#include "fakeservices.h"
#include "testsupport.h"

#include "platform/settingsfile.h"

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

    // Asked once when the program is closed, while a draw's exchange is open.
    void offerLoginReminder_data()
    {
        QTest::addColumn<QList<PendingDraw>>("draws");
        QTest::addColumn<int>("answered"); // -1 never, 0 no, 1 yes
        QTest::addColumn<bool>("offered");
        QTest::newRow("open for months") << QList {pending(u"年賀状"_s, 150, 1)} << -1 << true;
        QTest::newRow("the last day") << QList {pending(u"年賀状"_s, 0, 1)} << -1 << true;
        QTest::newRow("answered no") << QList {pending(u"年賀状"_s, 150, 1)} << 0 << false;
        QTest::newRow("answered yes") << QList {pending(u"年賀状"_s, 150, 1)} << 1 << false;
        QTest::newRow("only ended or undated draws")
            << QList {pending(u"年賀状"_s, -1, 2), pending(u"no day"_s, 999, 3)} << -1 << false;
        QTest::newRow("an empty book") << QList<PendingDraw> {} << -1 << false;
    }
    void offerLoginReminder()
    {
        QFETCH(QList<PendingDraw>, draws);
        QFETCH(int, answered);
        QFETCH(bool, offered);
        QCOMPARE(Reminder::OfferLoginReminder(Today, draws, answered < 0 ? std::nullopt : std::optional(answered == 1)),
            offered);
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
