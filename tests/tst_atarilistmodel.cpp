#include "core/AtariListModel.h"
#include "core/SittingAtariList.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
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

// A source with columns of its own and one the user types into, as a book of
// won cards kept from sitting to sitting has them.
class EditableSource final : public AtariListSource
{
public:
    QList<AtariList::Row> entries {{1, "455756", "１等", "現金", 1}, {2, "****73", "３等", "切手", 3}};
    QList<AtariColumn> shown {AtariColumn::Number, AtariColumn::Syouhin};

    QList<AtariColumn> columns() const override { return shown; }
    qsizetype rowCount() const override { return entries.size(); }
    AtariList::Row row(qsizetype index) const override { return entries.at(index); }
    QString totalsText() const override { return {}; }
    bool isEditable(AtariColumn column) const override { return column == AtariColumn::Syouhin; }
    bool setText(qsizetype index, AtariColumn, const QString &text) override
    {
        entries[index].strSyouhin = text;
        return true;
    }
};

} // namespace

// The table of won cards without a window: the sitting's record as its source,
// and the points a source of another kind plugs into.
class tst_AtariListModel : public QObject
{
    Q_OBJECT

private slots:
    // The table follows the sitting card by card, with the losses when asked,
    // and starts again at a clear; the goods are those of the data it is given.
    void followsTheSitting()
    {
        const WinningData data = reiwa8();
        CheckRecord record;
        record.add(QStringLiteral("****99"), 0);
        SittingAtariList source(record, data);
        AtariListModel model(source);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

        QStringList headings;
        for (int c = 0; c < model.columnCount(); ++c)
            headings.append(model.headerData(c, Qt::Horizontal).toString());
        QCOMPARE(headings, (QStringList {"順番", "番号", "等級", "賞品"}));
        QCOMPARE(model.rowCount(), 0);

        record.add(QStringLiteral("****73"), 3);
        record.add(QStringLiteral("000056"), 0);
        record.add(QStringLiteral("455756"), 1);
        QCOMPARE(texts(model),
            (QStringList {
                "2|****73|３等|お年玉切手シート", "4|455756|１等|現金30万円／切手集と現金20万円（いずれか1点）"}));
        // One row inserted for each won card, none for a loss.
        QCOMPARE(inserted.size(), 2);
        QCOMPARE(inserted.last().at(1).toInt(), 1);
        QCOMPARE(model.index(0, 0).data(Qt::ToolTipRole).toString(), QStringLiteral("2"));

        source.setShowsLosses(true);
        QCOMPARE(reset.size(), 1);
        QCOMPARE(texts(model),
            (QStringList {"1|****99|はずれ|(lost)", "2|****73|３等|お年玉切手シート", "3|000056|はずれ|(lost)",
                "4|455756|１等|現金30万円／切手集と現金20万円（いずれか1点）"}));
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

    // Another source's columns, its edited column and its changed rows reach
    // the views without anything in the model made for it.
    void anotherSource()
    {
        EditableSource source;
        AtariListModel model(source);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        QCOMPARE(texts(model), (QStringList {"455756|現金", "****73|切手"}));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("賞品"));
        QCOMPARE(model.section(AtariColumn::Syouhin), 1);
        QCOMPARE(model.section(AtariColumn::Order), -1);
        QVERIFY(!model.flags(model.index(1, 0)).testFlag(Qt::ItemIsEditable));
        QVERIFY(model.flags(model.index(1, 1)).testFlag(Qt::ItemIsEditable));

        QVERIFY(!model.setData(model.index(1, 0), QStringLiteral("000073")));
        QVERIFY(model.setData(model.index(1, 1), QStringLiteral("切手シート")));
        QCOMPARE(source.entries.at(1).strSyouhin, QStringLiteral("切手シート"));
        QCOMPARE(changed.size(), 1);

        source.entries[0].strNumber = QStringLiteral("455757");
        emit source.rowsChanged(0, 0);
        QCOMPARE(changed.size(), 2);
        QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("455757"));

        source.shown.prepend(AtariColumn::Order);
        emit source.rowsReset();
        QCOMPARE(texts(model), (QStringList {"1|455757|現金", "2|****73|切手シート"}));
    }
};

QTEST_GUILESS_MAIN(tst_AtariListModel)
#include "tst_atarilistmodel.moc"
