#include "core/DataEdit.h"
#include "core/FileErrorText.h"
#include "core/modNengajo.h"
#include "testsupport.h"

#include <QFile>

#include <QTest>
#include <cerrno>

using namespace Qt::StringLiterals;

namespace {

// A draw as a user would type it: three classes, all dates, an address.
DataEditInput validInput()
{
    DataEditInput input;
    input.strType = u"年賀状"_s;
    input.strEra = u"令和"_s;
    input.strYear = u"9"_s;
    input.strNumbers = {u"012345"_s, u"0987"_s, u"00, 50\n54"_s, {}, {}};
    input.strSyouhin = {u"現金30万円\n電子マネー31万円分"_s, u"ふるさと小包など"_s, u"お年玉切手シート"_s, {}, {}};
    input.strDrawDate = u"2027/1/17"_s;
    input.strExchangeFrom = u"2027-01-18"_s;
    input.strExchangeTo = u"2027年7月20日"_s;
    input.strUrl = u"https://www.example.jp/nenga/"_s;
    return input;
}

// "field=value" changes applied to the valid input.
DataEditInput changed(const QStringList &changes)
{
    return testsupport::editedInput(validInput(), changes);
}

using Problems = QList<DataEditProblem>;

} // namespace

class tst_DataEdit : public QObject
{
    Q_OBJECT

private slots:

    void accepted_data()
    {
        QTest::addColumn<QStringList>("changes");
        QTest::newRow("as typed") << QStringList {};
        QTest::newRow("平成 year") << QStringList {u"cboEra=平成"_s, u"txtYear=31"_s};
        QTest::newRow("one class, no goods, no dates")
            << QStringList {u"txtNumbers_1="_s, u"txtNumbers_2="_s, u"txtSyouhin_0="_s, u"txtSyouhin_1="_s,
                   u"txtSyouhin_2="_s, u"txtDrawDate="_s, u"txtExchangeFrom="_s, u"txtExchangeTo="_s};
        QTest::newRow("five classes") << QStringList {u"txtNumbers_3=34"_s, u"txtNumbers_4=07 58"_s};
        QTest::newRow("full-width date with weekday, exchange from the day of the draw")
            << QStringList {u"txtDrawDate=２０２７／１／１８（月）"_s};
    }
    void accepted()
    {
        QFETCH(QStringList, changes);
        QCOMPARE(modNengajo::CheckDataEdit(changed(changes)), Problems {});
    }

    // Every bad input the editor refuses, each with what the user is told at its field.
    void refused_data()
    {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<Problems>("problems");

        const auto one = [](DataEditField field, const QString &message) { return Problems {{field, message}}; };
        // The card type and the year.
        QTest::newRow("empty type") << QStringList {u"txtType= "_s}
                                    << one(DataEditField::Type, u"はがきの種類を入力してください"_s);
        QTest::newRow("type of 65 characters") << QStringList {u"txtType="_s + QString(65, u'年')}
                                               << one(DataEditField::Type, u"はがきの種類は64文字までにしてください"_s);
        QTest::newRow("slash in the type")
            << QStringList {u"txtType=年賀/状"_s}
            << one(DataEditField::Type,
                   u"はがきの種類に使えない文字があります（/ \\ : * ? \" < > | や、先頭の「.」など）"_s);
        QTest::newRow("empty year") << QStringList {u"txtYear="_s}
                                    << one(DataEditField::Year, u"年を入力してください"_s);
        QTest::newRow("year with a letter")
            << QStringList {u"txtYear=9a"_s} << one(DataEditField::Year, u"年は1～99の半角数字で入力してください"_s);
        QTest::newRow("year zero") << QStringList {u"txtYear=0"_s}
                                   << one(DataEditField::Year, u"年は1～99の半角数字で入力してください"_s);
        QTest::newRow("平成 32") << QStringList {u"cboEra=平成"_s, u"txtYear=32"_s}
                                 << one(DataEditField::Year, u"平成は31年までです（2019年5月からは令和です）"_s);

        // The numbers of a class.
        QTest::newRow("one digit") << QStringList {u"txtNumbers_2=00 5"_s}
                                   << one(numbersField(2),
                                          u"「5」は当選番号になりません（半角数字2～6桁で入力してください）"_s);
        QTest::newRow("seven digits")
            << QStringList {u"txtNumbers_0=1234567"_s}
            << one(numbersField(0), u"「1234567」は当選番号になりません（半角数字2～6桁で入力してください）"_s);
        QTest::newRow("full-width digits")
            << QStringList {u"txtNumbers_1=０９８７"_s}
            << one(numbersField(1), u"「０９８７」は当選番号になりません（半角数字2～6桁で入力してください）"_s);
        QTest::newRow("letter") << QStringList {u"txtNumbers_1=O987"_s}
                                << one(numbersField(1),
                                       u"「O987」は当選番号になりません（半角数字2～6桁で入力してください）"_s);
        QTest::newRow("different lengths")
            << QStringList {u"txtNumbers_2=00 500"_s}
            << one(numbersField(2), u"桁数の違う番号があります（１つの等級の番号はすべて同じ桁数です）"_s);
        QTest::newRow("the same number twice")
            << QStringList {u"txtNumbers_2=73、42，73"_s} << one(numbersField(2), u"「73」が２回入力されています"_s);
        QTest::newRow("goods without numbers")
            << QStringList {u"txtSyouhin_3=記念品"_s} << one(numbersField(3), u"賞品があるのに当選番号がありません"_s);
        QTest::newRow("a class left out before another") << QStringList {
            u"txtNumbers_4=58"_s} << one(numbersField(3), u"当選番号がありません（１等から順に入力してください）"_s);
        QTest::newRow("no class at all") << QStringList {u"txtNumbers_0="_s, u"txtNumbers_1="_s, u"txtNumbers_2="_s,
            u"txtSyouhin_0="_s, u"txtSyouhin_1="_s, u"txtSyouhin_2="_s}
                                         << one(numbersField(0), u"当選番号を入力してください"_s);

        // The dates.
        QTest::newRow("day that does not exist") << QStringList {
            u"txtDrawDate=2027/2/29"_s} << one(DataEditField::DrawDate, u"2027年2月29日という日はありません"_s);
        QTest::newRow("not a date") << QStringList {u"txtExchangeTo=7月20日"_s}
                                    << one(DataEditField::ExchangeTo, u"日付は 2027/1/19 のように入力してください"_s);
        QTest::newRow("period ends before it starts")
            << QStringList {u"txtExchangeTo=2027/1/17"_s}
            << one(DataEditField::ExchangeTo, u"引換の終わりが始まりより前になっています"_s);
        QTest::newRow("period starts before the draw")
            << QStringList {u"txtExchangeFrom=2027/1/16"_s}
            << one(DataEditField::ExchangeFrom, u"引換の始まりが抽せん日より前になっています"_s);
        QTest::newRow("period ends before the draw, no first day")
            << QStringList {u"txtExchangeFrom="_s, u"txtExchangeTo=2027/1/10"_s}
            << one(DataEditField::ExchangeTo, u"引換の終わりが抽せん日より前になっています"_s);

        QTest::newRow("address of another kind")
            << QStringList {u"txtURL=www.example.jp"_s}
            << one(DataEditField::Url, u"http:// か https:// で始まるアドレスを入力してください"_s);
        QTest::newRow("address of 2049 characters")
            << QStringList {u"txtURL=https://www.example.jp/"_s + QString(2049 - 23, u'a')}
            << one(DataEditField::Url, u"アドレスは2048文字までにしてください"_s);

        // Several at once, each at its field, in the order of the fields.
        QTest::newRow("several") << QStringList {u"txtYear="_s, u"txtNumbers_1=1"_s, u"txtExchangeTo=2027/13/1"_s}
                                 << Problems {{DataEditField::Year, u"年を入力してください"_s},
                                        {numbersField(1),
                                            u"「1」は当選番号になりません（半角数字2～6桁で入力してください）"_s},
                                        {DataEditField::ExchangeTo, u"2027年13月1日という日はありません"_s}};
    }
    void refused()
    {
        QFETCH(QStringList, changes);
        QFETCH(Problems, problems);
        QCOMPARE(modNengajo::CheckDataEdit(changed(changes)), problems);
    }

    // The file holds exactly what was typed, numbers as text with their zeros,
    // the 令和 year with its era, and reads back as the program loads it.
    void writtenFile()
    {
        testsupport::ProgramFolderFixture folder;
        QVERIFY(folder.addSchema());
        const DataEditInput input = validInput();
        QCOMPARE(modNengajo::DataEditTitle(input), u"年賀状（令和9年度版）"_s);
        const QByteArray xml = modNengajo::DataEditXml(input);
        QCOMPARE(QString::fromUtf8(xml),
            u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<tousen xmlns=\"urn:tousen\" type=\"年賀状\" year=\"令和9\" url=\"https://www.example.jp/nenga/\" "
            "drawDate=\"2027-01-17\" exchangeFrom=\"2027-01-18\" exchangeTo=\"2027-07-20\">\n"
            "  <toukyu name=\"1等\">\n    <number>012345</number>\n    <syouhin>現金30万円</syouhin>\n"
            "    <syouhin>電子マネー31万円分</syouhin>\n  </toukyu>\n"
            "  <toukyu name=\"2等\">\n    <number>0987</number>\n    <syouhin>ふるさと小包など</syouhin>\n  </toukyu>\n"
            "  <toukyu name=\"3等\">\n    <number>00</number>\n    <number>50</number>\n    <number>54</number>\n"
            "    <syouhin>お年玉切手シート</syouhin>\n  </toukyu>\n</tousen>\n"_s);

        const Outcome<> written = modNengajo::WriteDataFile(folder.dataPath(), modNengajo::DataEditTitle(input), xml);
        QVERIFY2(written.ok(), qPrintable(written.words));
        WinningData read;
        QVERIFY(modNengajo::ReadDataFile(u"年賀状（令和9年度版）.xml"_s, read));
        QCOMPARE(modNengajo::DataEditXml(modNengajo::DataEditFrom(read, true)), xml);
        QCOMPARE(read.strYear, u"令和9"_s);
        QCOMPARE(read.exchangeTo, QDate(2027, 7, 20));
    }

    // A bundled file opened in the editor and written again reads as before;
    // as a start for a new draw it keeps its card type, year and goods only.
    void bundledFilesRoundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("era");
        QTest::newRow("令和8") << u"年賀状（令和8年度版）.xml"_s << u"令和"_s;
        QTest::newRow("令和3, no exchange period") << u"年賀状（令和3年度版）.xml"_s << u"令和"_s;
        QTest::newRow("平成26, bare year") << u"年賀状（平成26年度版）.xml"_s << u"平成"_s;
    }
    void bundledFilesRoundTrip()
    {
        QFETCH(QString, name);
        QFETCH(QString, era);
        testsupport::ProgramFolderFixture folder;
        QVERIFY(folder.addSchema());
        QVERIFY(folder.addData(testsupport::bundledPath(name)));
        WinningData bundled;
        QVERIFY(modNengajo::ReadDataFile(name, bundled));

        const DataEditInput opened = modNengajo::DataEditFrom(bundled, true);
        QCOMPARE(opened.strEra, era);
        QCOMPARE(modNengajo::DataEditTitle(opened) + u".xml"_s, name);
        QCOMPARE(modNengajo::CheckDataEdit(opened), Problems {});
        QVERIFY(modNengajo::WriteDataFile(folder.dataPath(), u"again"_s, modNengajo::DataEditXml(opened)).ok());
        WinningData again;
        QVERIFY(modNengajo::ReadDataFile(u"again.xml"_s, again));
        again.strFileName = bundled.strFileName;
        QCOMPARE(again, bundled);

        DataEditInput start = opened;
        start.strNumbers = {};
        start.strDrawDate = start.strExchangeFrom = start.strExchangeTo = start.strUrl = QString();
        QCOMPARE(modNengajo::DataEditFrom(bundled, false), start);
    }

    // A class typed with another count of digits than the file it started
    // from is pointed out by the start's count.
    void changedDigitCounts_data()
    {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QList<int>>("expected");
        // The start: 1等 of six digits, 2等 of four, 3等 of two, no 4等.
        QTest::newRow("as in the start") << QStringList {} << QList<int> {0, 0, 0, 0, 0};
        QTest::newRow("one digit missing in 1等")
            << QStringList {u"txtNumbers_0=12345"_s} << QList<int> {6, 0, 0, 0, 0};
        QTest::newRow("a digit too many in 3等")
            << QStringList {u"txtNumbers_2=001 500"_s} << QList<int> {0, 0, 2, 0, 0};
        QTest::newRow("a class the start has not") << QStringList {u"txtNumbers_3=123"_s} << QList<int> {0, 0, 0, 0, 0};
        QTest::newRow("a class left empty") << QStringList {u"txtNumbers_1="_s} << QList<int> {0, 0, 0, 0, 0};
    }
    void changedDigitCounts()
    {
        QFETCH(QStringList, changes);
        QFETCH(QList<int>, expected);
        DataEditStart start;
        start.digits = {6, 4, 2, 0, 0};
        const std::array<int, DataEditInput::ClassCount> counts
            = modNengajo::ChangedDigitCounts(changed(changes), start);
        QCOMPARE(QList<int>(counts.begin(), counts.end()), expected);
    }

    // Writing fails without leaving anything behind, and keeps an earlier file.
    void writeFailures_data()
    {
        QTest::addColumn<QString>("folder"); // relative to the program folder
        QTest::addColumn<bool>("fileInPlace"); // a file where the folder should be
        QTest::addColumn<bool>("readOnly"); // the earlier file may not be written
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("message");

        const QByteArray valid = modNengajo::DataEditXml(validInput());
        const QString cannotWrite
            = u"当選番号データを保存できませんでした。\r\n保存先のフォルダーに書き込めるか確かめてください。\r\n\r\n"_s;
        QTest::newRow("no such folder") << u"gone/"_s << false << false << valid << cannotWrite + u"%1gone/"_s;
        QTest::newRow("a file, not a folder") << u"file/"_s << true << false << valid << cannotWrite + u"%1file/"_s;
        QTest::newRow("a read-only file of that name")
            << u"data/"_s << false << true << valid
            << u"当選番号データを保存できませんでした。\r\n"_s + FileErrorText::ofErrno(EACCES) + u"\r\n\r\n%1data/"_s;
        QTest::newRow("content the schema refuses")
            << u"data/"_s << false << false << QByteArray(valid).replace("<number>0987</number>", "<number>9</number>")
            << u"当選番号データに誤りがあるため保存しませんでした。\r\n\r\n[line:9, pos:23] Element "
               "'{urn:tousen}number': [facet 'pattern'] The value '9' is not accepted by the pattern '[0-9]{2,6}'."_s;
    }
    void writeFailures()
    {
        QFETCH(QString, folder);
        QFETCH(bool, fileInPlace);
        QFETCH(bool, readOnly);
        QFETCH(QByteArray, xml);
        QFETCH(QString, message);
        testsupport::ProgramFolderFixture program;
        QVERIFY(program.addSchema());
        QVERIFY(program.writeData(u"年賀状（令和9年度版）.xml"_s, "earlier"));
        if (readOnly)
            QVERIFY(QFile::setPermissions(program.dataPath(u"年賀状（令和9年度版）.xml"_s), QFile::ReadOwner));
        const QString target = program.path() + folder;
        if (fileInPlace) {
            QFile file(target.chopped(1));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QMap<QString, QByteArray> before = testsupport::snapshot(program.path());

        const Outcome<> written = modNengajo::WriteDataFile(target, u"年賀状（令和9年度版）"_s, xml);
        QVERIFY(!written.ok());
        QCOMPARE(written.words, message.contains(u"%1"_s) ? message.arg(program.path()) : message);
        QCOMPARE(testsupport::snapshot(program.path()), before);
    }
};

QTEST_GUILESS_MAIN(tst_DataEdit)
#include "tst_dataedit.moc"
