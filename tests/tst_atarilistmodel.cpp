#include "core/AtariListModel.h"
#include "core/BookAtariList.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// 1等 on six digits with two goods to choose from, 3等 on two digits.
WinningData reiwa8()
{
    using testsupport::makeClass;
    return testsupport::makeWinningData(
        {makeClass({"455756"}, {"現金30万円", "切手集と現金20万円"}), makeClass({"5037"}, {"ふるさと小包など"}),
            makeClass({"73"}, {"お年玉切手シート"})},
        QStringLiteral("年賀状"), QStringLiteral("令和8"));
}

// The model's rows as "順番|番号|等級|賞品" lines, a lost card's line marked "(lost)".
QStringList texts(const AtariListModel &model)
{
    QStringList rows;
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c)
            cells.append(model.index(r, c).data().toString());
        rows.append(cells.join(u'|') + (model.index(r, 0).data(AtariListModel::LostRole).toBool() ? "(lost)" : ""));
    }
    return rows;
}

} // namespace

// The table of won cards without a window: the book's cards with the sitting's.
class tst_AtariListModel : public QObject
{
    Q_OBJECT

private slots:
    // With a book that cannot be used, the table follows the sitting card by
    // card, with the losses when asked, and starts again at a clear; the goods
    // are those of the data it is given.
    void followsTheSitting()
    {
        const QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("atari.db")));
        AtariBook book(folder.filePath(QStringLiteral("atari.db")));
        const WinningData data = reiwa8();
        CheckRecord record;
        record.add(QStringLiteral("****99"), 0);
        BookAtariList source(book, record, data);
        AtariListModel model(source);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

        QStringList headings;
        for (int c = 0; c < model.columnCount(); ++c)
            headings.append(model.headerData(c, Qt::Horizontal).toString());
        QCOMPARE(headings, (QStringList {"順番", "番号", "等級", "賞品", "引換", "差出人"}));
        QCOMPARE(model.rowCount(), 0);

        record.add(QStringLiteral("****73"), 3);
        record.add(QStringLiteral("000056"), 0);
        record.add(QStringLiteral("455756"), 1);
        QCOMPARE(texts(model),
            (QStringList {
                "1|****73|３等|お年玉切手シート||", "2|455756|１等|現金30万円／切手集と現金20万円（いずれか1点）||"}));
        // One row inserted for each won card, none for a loss.
        QCOMPARE(inserted.size(), 2);
        QCOMPARE(inserted.last().at(1).toInt(), 1);
        QCOMPARE(model.index(1, 0).data(Qt::ToolTipRole).toString(), QStringLiteral("2"));

        source.setShowsLosses(true);
        QCOMPARE(reset.size(), 1);
        QCOMPARE(texts(model),
            (QStringList {"1|****99|はずれ|||(lost)", "2|****73|３等|お年玉切手シート||", "3|000056|はずれ|||(lost)",
                "4|455756|１等|現金30万円／切手集と現金20万円（いずれか1点）||"}));
        record.add(QStringLiteral("****12"), 0);
        QCOMPARE(model.rowCount(), 5);
        QCOMPARE(inserted.size(), 3);

        record.clear();
        QCOMPARE(reset.size(), 2);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(source.totalsText(), QStringLiteral("合計 0枚"));
        // Nothing in the table is typed into.
        record.add(QStringLiteral("****73"), 3);
        QVERIFY(!model.flags(model.index(0, 3)).testFlag(Qt::ItemIsEditable));
        QVERIFY(!model.setData(model.index(0, 3), QStringLiteral("x")));
        QCOMPARE(source.totalsText(), QStringLiteral("３等 1枚　合計 1枚"));
    }

    // The book's cards of the draw in force, the first entered first, an
    // earlier sitting's with this one's, the sitting's losses where they were
    // judged; marks, senders and deletions go to the book and come back as
    // changed rows, the selection kept.
    void listsTheBookWithTheSitting()
    {
        const QTemporaryDir folder;
        AtariBook book(folder.filePath(QStringLiteral("atari.db")));
        const WinningData data = reiwa8();
        const AtariDraw draw = AtariDraw::of(data);
        const QDateTime earlier(QDate(2026, 1, 10), QTime(9, 0));
        QCOMPARE(book.add(draw, "455756", 1, data.prizeClass(1).strSyouhin, earlier), AtariBook::Added::Added);
        QCOMPARE(book.add({"年賀状", "令和7", {}, {}}, "****73", 3, "切手", earlier), AtariBook::Added::Added);
        CheckRecord record;
        // As the main window judges: a won card into the book, then into the sitting with its entry.
        const auto judge = [&](const QString &number, qint16 toukyu) {
            qint64 id = 0;
            if (toukyu > 0
                && book.add(draw, number, toukyu, data.prizeClass(toukyu).strSyouhin, QDateTime::currentDateTime(), &id)
                    == AtariBook::Added::AlreadyInBook)
                id = CheckRecord::InBookBefore;
            record.add(number, toukyu, id);
        };
        judge("****99", 0);
        BookAtariList source(book, record, data);
        AtariListModel model(source);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        judge("****73", 3);
        judge("455756", 1); // judged again: the card of the earlier sitting
        judge("000012", 0);

        QCOMPARE(model.headerData(4, Qt::Horizontal).toString() + model.headerData(5, Qt::Horizontal).toString(),
            QStringLiteral("引換差出人"));
        QCOMPARE(texts(model),
            (QStringList {
                "1|455756|１等|現金30万円／切手集と現金20万円（いずれか1点）||", "2|****73|３等|お年玉切手シート||"}));
        QCOMPARE(inserted.size(), 1);
        source.setShowsLosses(true);
        QCOMPARE(texts(model),
            (QStringList {"1|455756|１等|現金30万円／切手集と現金20万円（いずれか1点）||", "2|****99|はずれ|||(lost)",
                "3|****73|３等|お年玉切手シート||", "4|000012|はずれ|||(lost)"}));
        judge("****56", 0);
        QCOMPARE(inserted.size(), 2);
        QCOMPARE(source.totalsText(), QStringLiteral("１等 1枚　３等 1枚　合計 2枚（未引換 2枚）"));

        // Marking: a choice with an unmarked card marks it, an all-marked choice is taken back.
        reset.clear();
        QVERIFY(!source.allExchanged({0, 1}));
        QVERIFY(source.toggleExchanged({0, 1}, QDate(2026, 2, 1)));
        QVERIFY(source.allExchanged({0, 1}));
        QCOMPARE(model.index(0, 4).data().toString(), QStringLiteral("済"));
        QCOMPARE(source.totalsText(), QStringLiteral("１等 1枚　３等 1枚　合計 2枚（未引換 1枚）"));
        QVERIFY(!source.allExchanged({0, 2}));
        QVERIFY(source.toggleExchanged({0, 2}, QDate(2026, 2, 2)));
        QCOMPARE(book.cards(draw).first().exchangedOn, QDate(2026, 2, 1));
        QCOMPARE(source.totalsText(), QStringLiteral("１等 1枚　３等 1枚　合計 2枚"));
        QVERIFY(source.toggleExchanged({0, 2}, QDate(2026, 2, 3)));
        QCOMPARE(model.index(0, 4).data().toString() + model.index(2, 4).data().toString(), QString());
        QVERIFY(!source.allExchanged({1}));

        // The sender of a card of the book, and of nothing else.
        QVERIFY(model.flags(model.index(2, 5)).testFlag(Qt::ItemIsEditable));
        QVERIFY(!model.flags(model.index(1, 5)).testFlag(Qt::ItemIsEditable));
        QVERIFY(!model.flags(model.index(2, 1)).testFlag(Qt::ItemIsEditable));
        QVERIFY(model.setData(model.index(2, 5), QStringLiteral("  田中さん ")));
        QCOMPARE(book.cards(draw).last().strSender, QStringLiteral("田中さん"));
        QCOMPARE(model.index(2, 5).data().toString(), QStringLiteral("田中さん"));
        QVERIFY(!model.setData(model.index(1, 5), QStringLiteral("x")));
        QVERIFY(changed.size() >= 4);
        QCOMPARE(reset.size(), 0);

        // Deleted from the book; the sitting's losses stay.
        QVERIFY(source.remove({0, 1}));
        QCOMPARE(texts(model),
            (QStringList {"1|****99|はずれ|||(lost)", "2|****73|３等|お年玉切手シート||田中さん",
                "3|000012|はずれ|||(lost)", "4|****56|はずれ|||(lost)"}));
        QCOMPARE(source.totalsText(), QStringLiteral("３等 1枚　合計 1枚（未引換 1枚）"));

        // A clear leaves the book; a won card the book did not take is listed from the sitting.
        record.clear();
        record.add("****44", 3);
        source.setShowsLosses(false);
        QCOMPARE(texts(model),
            (QStringList {"1|****73|３等|お年玉切手シート||田中さん", "2|****44|３等|お年玉切手シート||"}));

        // For the calendar: the book's marked card left out, the sitting's won card in.
        QVERIFY(source.toggleExchanged({0}, QDate(2026, 2, 4)));
        const QList<AtariCard> left = source.cardsToExchange();
        QCOMPARE(left.size(), 1);
        QCOMPARE(left.first().strNumber + left.first().strSyouhin, QStringLiteral("****44お年玉切手シート"));
    }

    // Counted past the sitting's 16 bits; a damaged row of the book stands
    // with the won cards, counted apart.
    void countsPastOneSitting()
    {
        const QTemporaryDir folder;
        AtariBook book(folder.filePath(QStringLiteral("atari.db")));
        const WinningData data = reiwa8();
        CheckRecord record;
        for (int i = 0; i < 40000; ++i)
            record.add(QStringLiteral("****73"), 3);
        book.add(AtariDraw::of(data), "****84", 6, "切手");
        BookAtariList source(book, record, data);
        QCOMPARE(source.row(0).strResult, AtariList::DamagedResult);
        QCOMPARE(AtariListModel(source).index(0, 2).data(AtariListModel::LostRole), QVariant(false));
        QCOMPARE(source.totalsText(), QStringLiteral("３等 40000枚　合計 40000枚（等級の壊れた記録 1枚）"));
    }

    // A book that cannot be written: its cards are listed, no sender is typed
    // into them, and the list says why.
    void readOnlyBook()
    {
        const QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("atari.db"));
        const WinningData data = reiwa8();
        QCOMPARE(AtariBook(path).add(AtariDraw::of(data), "455756", 1, "現金"), AtariBook::Added::Added);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        AtariBook book(path);
        CheckRecord record;
        BookAtariList source(book, record, data);
        AtariListModel model(source);

        QCOMPARE(texts(model), QStringList {"1|455756|１等|現金||"});
        QVERIFY(!model.flags(model.index(0, 5)).testFlag(Qt::ItemIsEditable));
        QVERIFY(!model.setData(model.index(0, 5), QStringLiteral("田中さん")));
        QCOMPARE(source.whyUnchangeable(),
            QStringLiteral("当たったはがきの記録（atari.db）に書き込めません。書き込みが許可されていません。"));
    }
};

QTEST_GUILESS_MAIN(tst_AtariListModel)
#include "tst_atarilistmodel.moc"
