#include "core/CardEntry.h"
#include "core/ProgramState.h"
#include "testsupport.h"

#include <QTest>

using namespace Qt::StringLiterals;
using Kind = CardEntry::Outcome;

Q_DECLARE_METATYPE(CardEntry::Outcome)

// The two-stage entry without a window: what each complete entry means, and
// what a card leaves in the sitting and the book when it ends.
class tst_CardEntry : public QObject
{
    Q_OBJECT

    std::unique_ptr<testsupport::ProgramFolderFixture> m_folder;
    std::unique_ptr<ProgramState> m_state;

private slots:
    void init()
    {
        m_folder = std::make_unique<testsupport::ProgramFolderFixture>();
        m_state = std::make_unique<ProgramState>(m_folder->path() + u"atari.db"_s);
        // Class 1 ends in 21 with upper digits 1234; class 3 holds 521 and 021;
        // class 4 holds 34.
        WinningData data
            = testsupport::makeWinningNumbers({{u"123421"_s}, {u"987655"_s}, {u"521"_s, u"021"_s}, {u"34"_s}});
        data.strType = u"年賀状"_s;
        data.strYear = u"令和8"_s;
        m_state->data.setWinningData(data);
    }
    void cleanup()
    {
        m_state.reset();
        m_folder.reset();
    }

    // lower: the lower box's text; upper: the upper box's, when the lower
    // digits asked for it.
    void steps_data()
    {
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<Kind>("outcome");
        QTest::addColumn<int>("toukyu");
        QTest::addColumn<QString>("inputNum");
        QTest::addColumn<QString>("inform");

        QTest::newRow("one digit") << u"3"_s << QString() << Kind::Incomplete << 0 << QString() << QString();
        QTest::newRow("pasted letter") << u"3a"_s << QString() << Kind::NotNumeric << 0 << QString()
                                       << u"２桁の正しい値を入力してください。"_s;
        QTest::newRow("loss on two digits")
            << u"00"_s << QString() << Kind::Hazure << 0 << u"****00"_s << u"はずれです...次の番号を入力してください"_s;
        QTest::newRow("hit on two digits") << u"34"_s << QString() << Kind::Atari << 4 << u"****34"_s << QString();
        QTest::newRow("candidates: the prompt names class 3") << u"21"_s << QString() << Kind::Kami4 << 3 << u"****21"_s
                                                              << u"３等の可能性あり！上４桁を入力してください"_s;
        QTest::newRow("three upper digits") << u"21"_s << u"123"_s << Kind::Incomplete << 0 << QString() << QString();
        QTest::newRow("pasted upper letter")
            << u"21"_s << u"12a4"_s << Kind::NotNumeric << 0 << QString() << u"４桁の正しい値を入力してください。"_s;
        QTest::newRow("upper hit: the lowest class number")
            << u"21"_s << u"1234"_s << Kind::Atari << 1 << u"123421"_s << QString();
        QTest::newRow("upper loss names the first candidate's number, as stored")
            << u"21"_s << u"9991"_s << Kind::Hazure << 0 << u"999121"_s
            << u"はずれです...当選番号は 521 でした\r\n次の番号を入力してください"_s;
    }
    void steps()
    {
        QFETCH(QString, lower);
        QFETCH(QString, upper);
        CardEntry entry(m_state->data, m_state->record, m_state->book);

        CardEntry::Step step = entry.Simo2(lower);
        if (!upper.isEmpty()) {
            QCOMPARE(step.outcome, Kind::Kami4);
            step = entry.Kami4(upper);
        }
        QTEST(step.outcome, "outcome");
        QTEST(int(step.intToukyu), "toukyu");
        QTEST(step.strInputNum, "inputNum");
        QTEST(step.strInform, "inform");
        // Nothing enters the sitting before the window ends the card.
        QVERIFY(m_state->record.cards().isEmpty());
    }

    // The sitting counts every card ended; the book takes the won ones, once.
    void enterRecordsTheCard()
    {
        CardEntry entry(m_state->data, m_state->record, m_state->book);
        const auto card = [&entry](const QString &lower, const QString &upper = {}) {
            entry.Simo2(lower);
            if (!upper.isEmpty())
                entry.Kami4(upper);
            entry.enter();
        };
        card(u"00"_s);
        card(u"21"_s, u"1234"_s);
        card(u"21"_s, u"1234"_s);
        card(u"21"_s, u"9991"_s);

        QCOMPARE(m_state->record.cards(),
            (QList<CheckedCard> {{u"****00"_s, 0}, {u"123421"_s, 1}, {u"123421"_s, 1}, {u"999121"_s, 0}}));
        QCOMPARE(m_state->record.intCheckCnt(), 4);
        QCOMPARE(m_state->record.intAtariCnt(1), 2);
        QVERIFY(m_state->record.bookId(1) > 0);
        QCOMPARE(m_state->record.bookId(2), CheckRecord::InBookBefore);
        const QList<AtariCard> inBook = m_state->book.cards(AtariDraw::of(m_state->data.winningData()));
        QCOMPARE(inBook.size(), 1);
        QCOMPARE(inBook.first().strNumber, u"123421"_s);
    }

    // The judgement follows the data in force, not those of the entry's start.
    void followsTheDataInForce()
    {
        CardEntry entry(m_state->data, m_state->record, m_state->book);
        QCOMPARE(entry.Simo2(u"58"_s).outcome, Kind::Hazure);
        testsupport::changeData(
            m_state->data, [](WinningData &data) { data = testsupport::makeWinningNumbers({{u"58"_s}}); });
        QCOMPARE(entry.Simo2(u"58"_s).outcome, Kind::Atari);
    }
};

QTEST_GUILESS_MAIN(tst_CardEntry)
#include "tst_cardentry.moc"
