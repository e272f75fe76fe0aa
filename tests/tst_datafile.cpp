#include "core/DataFile.h"
#include "core/DataFileAdd.h"
#include "core/DataFileList.h"
#include "core/Settings.h"
#include "core/modNengajo.h"
#include "platform/fakes/fakemessagebox.h"
#include "platform/fakes/fakexmlcomponent.h"
#include "platform/settingsfile.h"
#include "platform/xmldocument.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

const QString CrLf = u"\r\n"_s;
const QString DescriptionError = u"当選番号データファイルの記述にエラーがあります。\r\n\r\n"_s;
const QString ReadFailed = u"当選番号データファイルの読み込みに失敗しました"_s;
const QString UnexpectedError = u"当選番号データファイルの読み込みに失敗しました。"_s;

using testsupport::makeClass;
using testsupport::makeWinningData;

WinningData withDates(WinningData data, const QDate &drawn, const QDate &from, const QDate &to)
{
    data.drawDate = drawn;
    data.exchangeFrom = from;
    data.exchangeTo = to;
    return data;
}

// One class "1等" with one number, of the card type 年賀状 of 令和9.
WinningData oneNumberData(const QString &number)
{
    return makeWinningData({makeClass({number}, {}, u"1等"_s)}, u"年賀状"_s, u"令和9"_s);
}

WinningData validFixtureData()
{
    QStringList third;
    for (int i = 0; i <= 9; ++i)
        third.append(QString(2, QChar(u'0' + i)));
    return makeWinningData(
        {makeClass({u"123456"_s}, {u"現金30万円"_s, u"電子マネー31万円分"_s, u"切手集と現金20万円"_s}, u"1等"_s),
            makeClass({u"0101"_s, u"2345"_s, u"6789"_s}, {u"ふるさと小包"_s}, u"2等"_s),
            makeClass(third, {}, u"3等"_s)},
        u"年賀状"_s, u"令和9"_s, u"http://www.example.jp/nenga/"_s);
}

// Unnamed class elements open no class: the first feeds slot 0, later ones
// the class opened last; the root's five child nodes are five classes.
WinningData unnamedClasses()
{
    WinningData data
        = makeWinningData({makeClass({u"11"_s, u"654321"_s}, {u"現金追加"_s}, u"1等"_s),
                              makeClass({u"2345"_s}, {}, u"2等"_s), makeClass({}), makeClass({}), makeClass({})},
            u"年賀状"_s, u"26"_s);
    data.Classes[0] = makeClass({u"98"_s}, {u"前置き"_s});
    return data;
}

QByteArray manyClasses(int count)
{
    return "<tousen type=\"t\" year=\"1\">" + QByteArray("<c name=\"n\"/>").repeated(count) + "</tousen>";
}

QByteArray manyNumbers(int count)
{
    return "<tousen type=\"t\" year=\"1\"><c name=\"n\">" + QByteArray("<number>12</number>").repeated(count)
        + "</c></tousen>";
}

// The first class holds every number; the unnamed elements after it are classes too.
QByteArray manyClassesAndNumbers(int count)
{
    return "<tousen type=\"t\" year=\"1\"><c name=\"n\">" + QByteArray("<number>12</number>").repeated(count) + "</c>"
        + QByteArray("<c/>").repeated(count - 1) + "</tousen>";
}

QByteArray nested(const QByteArray &root, int depth)
{
    return root + QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth) + "</tousen>";
}

// Puts a data file into the data folder: a fixture, or content written there.
bool putDataFile(const testsupport::ProgramFolderFixture &folder, const QString &name, const QString &fixture,
    const QByteArray &content)
{
    if (!fixture.isEmpty())
        return folder.addFixture(fixture, name);
    if (!content.isEmpty())
        return folder.writeData(name, content);
    return true;
}

// A data file of one class "1等" with one number, of this type and year.
QByteArray dataFile(const QByteArray &type, const QByteArray &year, const QByteArray &number = "12")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tousen xmlns=\"urn:tousen\" type=\"" + type + "\" year=\""
        + year + "\">\n  <toukyu name=\"1等\">\n    <number>" + number + "</number>\n  </toukyu>\n</tousen>\n";
}

QString xmllint()
{
    return QStandardPaths::findExecutable(u"xmllint"_s);
}

int runXmllint(const QString &file)
{
    QProcess process;
    process.start(xmllint(),
        {u"--noout"_s, u"--nonet"_s, u"--schema"_s, testsupport::bundledPath(modNengajo::SchemaFileName), file});
    if (!process.waitForFinished(30000))
        return -1;
    return process.exitCode();
}

} // namespace

class tst_DataFile : public QObject
{
    Q_OBJECT

    platform::FakeMessageBox m_box;
    platform::ScopedService<platform::MessageBox> m_boxGuard {m_box};
    std::unique_ptr<DataInForce> m_data;
    // What the last load said went wrong.
    QString m_message;

    qint16 load(const QString &name)
    {
        const DataLoad result = m_data->LoadDataFile(name, modNengajo::SchemaFileName);
        m_message = result.message;
        return result.status;
    }

private slots:
    void init()
    {
        m_data = std::make_unique<DataInForce>();
        m_box.shown.clear();
    }

    void validateDataFile_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<bool>("withSchema");
        QTest::addColumn<QString>("description");

        QTest::newRow("valid") << "load_valid.xml" << true << QString();
        QTest::newRow("number with a letter")
            << "load_bad_number.xml" << true
            << "[line:5, pos:27] Element '{urn:tousen}number': [facet 'pattern'] The value '7a3' is not accepted "
               "by the pattern '[0-9]{2,6}'.";
        QTest::newRow("sixth class") << "load_six_classes.xml" << true
                                     << "[line:8, pos:20] Element '{urn:tousen}toukyu': This element is not expected.";
        QTest::newRow("not well-formed") << "load_malformed.xml" << true
                                         << "[line:5, pos:13] Opening and ending tag mismatch: toukyu line 3 and "
                                            "toukyuu";
        // Without a readable schema only the parse finds errors.
        QTest::newRow("not well-formed, no schema") << "load_malformed.xml" << false
                                                    << "[line:5, pos:13] Opening and ending tag mismatch: toukyu "
                                                       "line 3 and toukyuu";
        QTest::newRow("sixth class, no schema") << "load_six_classes.xml" << false << QString();
    }
    void validateDataFile()
    {
        QFETCH(QString, fixture);
        QFETCH(bool, withSchema);
        QFETCH(QString, description);
        const QString schema = withSchema ? testsupport::bundledPath(modNengajo::SchemaFileName)
                                          : testsupport::fixturePath(u"none.xsd"_s);
        QCOMPARE(modNengajo::ValidateDataFile(testsupport::fixturePath(fixture), schema), description);
    }

    // What the schema accepts, one rule at a time.
    void schemaRules_data()
    {
        QTest::addColumn<QString>("rootAttributes");
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("valid");

        const QString root = u"type=\"年賀状\" year=\"26\""_s;
        const QString one = u"<toukyu name=\"1等\"><number>12</number></toukyu>"_s;
        QTest::newRow("year digits alone") << root << one << true;
        QTest::newRow("year with era name") << u"type=\"年賀状\" year=\"令和8\""_s << one << true;
        QTest::newRow("era name without digits") << u"type=\"年賀状\" year=\"令和\""_s << one << false;
        QTest::newRow("empty year") << u"type=\"年賀状\" year=\"\""_s << one << false;
        QTest::newRow("empty type") << u"type=\"\" year=\"26\""_s << one << false;
        QTest::newRow("url") << root + u" url=\"http://example.jp/\""_s << one << true;
        QTest::newRow("empty url") << root + u" url=\"\""_s << one << true;
        QTest::newRow("unknown attribute") << root + u" kind=\"x\""_s << one << false;
        QTest::newRow("no class") << root << QString() << false;
        QTest::newRow("five classes") << root << one.repeated(5) << true;
        QTest::newRow("empty class name") << root << u"<toukyu name=\"\"><number>12</number></toukyu>"_s << false;
        QTest::newRow("class without number")
            << root << u"<toukyu name=\"1等\"><syouhin>a</syouhin></toukyu>"_s << false;
        QTest::newRow("two digits with leading zero")
            << root << u"<toukyu name=\"1\"><number>00</number></toukyu>"_s << true;
        QTest::newRow("six digits") << root << u"<toukyu name=\"1\"><number>012345</number></toukyu>"_s << true;
        QTest::newRow("one digit") << root << u"<toukyu name=\"1\"><number>5</number></toukyu>"_s << false;
        QTest::newRow("seven digits") << root << u"<toukyu name=\"1\"><number>1234567</number></toukyu>"_s << false;
        QTest::newRow("blank around number") << root << u"<toukyu name=\"1\"><number> 12</number></toukyu>"_s << false;
        QTest::newRow("full-width digits") << root << u"<toukyu name=\"1\"><number>１２</number></toukyu>"_s << false;
        QTest::newRow("goods after numbers")
            << root
            << u"<toukyu name=\"1\"><number>12</number><number>34</number><syouhin>a</syouhin>"
               "<syouhin>b</syouhin></toukyu>"_s
            << true;
        QTest::newRow("goods before numbers")
            << root << u"<toukyu name=\"1\"><syouhin>a</syouhin><number>12</number></toukyu>"_s << false;
        // Lengths and counts the program can use: a caption of a few characters,
        // a class of at most 32767 numbers.
        const auto rootWith = [](const QString &type, const QString &year) {
            return u"type=\""_s + type + u"\" year=\""_s + year + u"\""_s;
        };
        QTest::newRow("type of 64 characters") << rootWith(QString(64, u'年'), u"26"_s) << one << true;
        QTest::newRow("type of 65 characters") << rootWith(QString(65, u'年'), u"26"_s) << one << false;
        QTest::newRow("year of 64 characters") << rootWith(u"t"_s, u"令和"_s + QString(62, u'9')) << one << true;
        QTest::newRow("year of 65 characters") << rootWith(u"t"_s, u"令和"_s + QString(63, u'9')) << one << false;
        const auto numbers = [](int count) {
            return u"<toukyu name=\"1\">"_s + u"<number>12</number>"_s.repeated(count) + u"</toukyu>"_s;
        };
        // The related web page, shown whole in the prize list.
        const auto withUrl = [&root](qsizetype length) {
            const QString page = u"http://example.jp/"_s;
            return root + u" url=\""_s + page + QString(length - page.size(), u'a') + u"\""_s;
        };
        QTest::newRow("url of 2048 characters") << withUrl(modNengajo::MaxUrlLength) << one << true;
        QTest::newRow("url of 2049 characters") << withUrl(modNengajo::MaxUrlLength + 1) << one << false;
        QTest::newRow("32767 numbers in a class") << root << numbers(32767) << true;
        QTest::newRow("32768 numbers in a class") << root << numbers(32768) << false;
        // Text written in pieces is checked as one value.
        QTest::newRow("number written with a reference")
            << root << u"<toukyu name=\"1\"><number>1&#50;</number></toukyu>"_s << true;
        QTest::newRow("number in a CDATA section and text")
            << root << u"<toukyu name=\"1\"><number><![CDATA[1]]>2</number></toukyu>"_s << true;
        QTest::newRow("number around a comment")
            << root << u"<toukyu name=\"1\"><number>1<!-- c -->2</number></toukyu>"_s << true;
        QTest::newRow("number of seven digits in pieces")
            << root << u"<toukyu name=\"1\"><number>123&#52;<![CDATA[56]]>7</number></toukyu>"_s << false;
        QTest::newRow("blanks between classes") << root << one + u"\n  &#32;\n"_s + one << true;
        QTest::newRow("blank CDATA between classes") << root << one + u"<![CDATA[ ]]>"_s + one << false;
        QTest::newRow("class outside the namespace")
            << root << u"<toukyu xmlns=\"\" name=\"1\"><number>12</number></toukyu>"_s << false;
        // The day of the draw and the exchange period, each optional.
        QTest::newRow("all three dates") << root
                + u" drawDate=\"2027-01-17\" exchangeFrom=\"2027-01-18\" exchangeTo=\"2027-07-20\""_s
                                         << one << true;
        QTest::newRow("draw date alone") << root + u" drawDate=\"2027-01-17\""_s << one << true;
        QTest::newRow("exchange from alone") << root + u" exchangeFrom=\"2027-01-18\""_s << one << true;
        QTest::newRow("exchange to alone, with time zone")
            << root + u" exchangeTo=\"2027-07-20+09:00\""_s << one << true;
        QTest::newRow("day that does not exist") << root + u" exchangeTo=\"2027-02-30\""_s << one << false;
        QTest::newRow("date with slashes") << root + u" drawDate=\"2027/1/17\""_s << one << false;
        QTest::newRow("empty date") << root + u" exchangeFrom=\"\""_s << one << false;
    }
    void schemaRules()
    {
        QFETCH(QString, rootAttributes);
        QFETCH(QString, content);
        QFETCH(bool, valid);
        testsupport::ProgramFolderFixture folder;
        const QString xml = u"<tousen xmlns=\"urn:tousen\" "_s + rootAttributes + u">"_s + content + u"</tousen>"_s;
        QVERIFY(folder.writeData(u"rule.xml"_s, xml.toUtf8()));
        const QString description = modNengajo::ValidateDataFile(
            folder.dataPath(u"rule.xml"_s), testsupport::bundledPath(modNengajo::SchemaFileName));
        QVERIFY2(description.isEmpty() == valid, qPrintable(description));
    }

    void loadSuccess_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<bool>("withSchema");
        QTest::addColumn<WinningData>("expected");

        QTest::newRow("1, 3 and 10 numbers; 3, 1 and no goods") << "load_valid.xml" << true << validFixtureData();
        QTest::newRow("same without schema file") << "load_valid.xml" << false << validFixtureData();
        QTest::newRow("no url") << "load_no_url.xml" << true
                                << makeWinningData(
                                       {makeClass({u"12"_s}, {u"切手シート"_s}, u"1等"_s)}, u"寒中見舞い"_s, u"17"_s);
        QTest::newRow("empty url") << "load_empty_url.xml" << true
                                   << makeWinningData(
                                          {makeClass({u"34"_s}, {}, u"1等"_s)}, u"かもめ～る"_s, u"平成30"_s);
        // Dates: each optional, and a date that names no day reads as none.
        QTest::newRow("all three dates") << "load_dates.xml" << true
                                         << withDates(oneNumberData(u"123456"_s), QDate(2027, 1, 17),
                                                QDate(2027, 1, 18), QDate(2027, 7, 20));
        QTest::newRow("draw date only") << "load_draw_date_only.xml" << true
                                        << withDates(oneNumberData(u"11"_s), QDate(2027, 1, 17), {}, {});
        QTest::newRow("exchange from only, in UTC")
            << "load_exchange_from_only.xml" << true << withDates(oneNumberData(u"22"_s), {}, QDate(2027, 1, 18), {});
        QTest::newRow("exchange to only, with time zone")
            << "load_exchange_to_only.xml" << true << withDates(oneNumberData(u"33"_s), {}, {}, QDate(2027, 7, 20));
        QTest::newRow("unreadable dates, no schema") << "load_bad_dates.xml" << false << oneNumberData(u"44"_s);
        QTest::newRow("Shift_JIS with CP932 characters")
            << "load_cp932.xml" << true
            << makeWinningData(
                   {makeClass({u"12"_s}, {u"①㈱商品券\uff5e１万円分"_s}, u"1等"_s)}, u"年賀状"_s, u"令和9"_s);
        QTest::newRow("unnamed classes") << "load_unnamed_classes.xml" << false << unnamedClasses();
    }
    void loadSuccess()
    {
        QFETCH(QString, fixture);
        QFETCH(bool, withSchema);
        QFETCH(WinningData, expected);
        testsupport::ProgramFolderFixture folder;
        QVERIFY(folder.addFixture(fixture));
        if (withSchema)
            QVERIFY(folder.addSchema());

        // Data in force before, with dates: every field is replaced, so a
        // file without dates leaves none behind.
        m_data->setWinningData(withDates(
            makeWinningData({makeClass({u"1"_s, u"2"_s, u"3"_s}, {u"g"_s}, u"x"_s)}, u"前"_s, u"1"_s, u"http://old/"_s),
            QDate(2020, 1, 1), QDate(2020, 1, 2), QDate(2020, 7, 2)));

        QSignalSpy changed(m_data.get(), &DataInForce::changed);
        QCOMPARE(load(fixture), qint16(0));
        QVERIFY(m_box.shown.isEmpty());
        expected.strFileName = fixture;
        QCOMPARE(m_data->winningData(), expected);
        QCOMPARE(changed.size(), 1);
    }

    // A root without child nodes takes the root's attributes and keeps the
    // classes, with no numbers any more.
    void rootWithoutClasses()
    {
        testsupport::ProgramFolderFixture folder;
        QVERIFY(folder.addFixture(u"load_valid.xml"_s));
        QVERIFY(folder.addFixture(u"load_no_classes.xml"_s));
        QCOMPARE(load(u"load_valid.xml"_s), qint16(0));
        WinningData expected = m_data->winningData();

        QCOMPARE(load(u"load_no_classes.xml"_s), qint16(0));
        expected.strFileName = u"load_no_classes.xml"_s;
        expected.strType = u"暑中見舞い"_s;
        expected.strYear = u"令和2"_s;
        expected.strUrl.clear();
        expected.intMaxNumbers = 0;
        QCOMPARE(m_data->winningData(), expected);
    }

    void largestCounts_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("classCount");
        QTest::addColumn<int>("maxNumbers");
        QTest::newRow("32767 classes") << manyClasses(32767) << 32767 << 0;
        QTest::newRow("32767 numbers") << manyNumbers(32767) << 1 << 32767;
        // 750 KB: rows as long as the longest class would need 32767 x 32767 positions.
        QTest::newRow("32767 classes and 32767 numbers") << manyClassesAndNumbers(32767) << 32767 << 32767;
    }
    void largestCounts()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, classCount);
        QFETCH(int, maxNumbers);
        testsupport::ProgramFolderFixture folder;
        QVERIFY(folder.writeData(u"big.xml"_s, content));
        QCOMPARE(load(u"big.xml"_s), qint16(0));
        const WinningData &data = m_data->winningData();
        QCOMPARE(data.intClassCount, classCount);
        QCOMPARE(data.intMaxNumbers, maxNumbers);
        QCOMPARE(data.Classes.size(), data.intClassCount + 1);
        QCOMPARE(data.prizeClass(1).strNumbers.size(), data.intMaxNumbers + 1);
        QCOMPARE(data.prizeClass(classCount).number(maxNumbers), classCount > 1 ? QString() : u"12"_s);
    }

    // The reader alone, on documents parsed from bytes: a new case is one row.
    void read_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<WinningData>("expected");

        const QByteArray root = "<tousen xmlns=\"urn:tousen\" type=\"年賀状\" year=\"令和8\"";
        QTest::newRow("numbers, goods and address")
            << root
                + " url=\"https://example.jp/\"><toukyu name=\"1等\"><number>123456</number>"
                  "<syouhin>現金</syouhin><syouhin>切手</syouhin></toukyu></tousen>"
            << makeWinningData({makeClass({u"123456"_s}, {u"現金"_s, u"切手"_s}, u"1等"_s)}, u"年賀状"_s, u"令和8"_s,
                   u"https://example.jp/"_s);
        QTest::newRow("rows as long as their own numbers")
            << root
                + "><toukyu name=\"1\"><number>12</number></toukyu>"
                  "<toukyu name=\"2\"><number>34</number><number>56</number><number>78</number></toukyu></tousen>"
            << makeWinningData({makeClass({u"12"_s}, {}, u"1"_s), makeClass({u"34"_s, u"56"_s, u"78"_s}, {}, u"2"_s)},
                   u"年賀状"_s, u"令和8"_s);
        // Without the schema any element is a class and any number below it counts.
        QTest::newRow("names of elements not looked at")
            << QByteArray("<x type=\"t\" year=\"1\"><y name=\"a\"><z><number>12</number></z></y></x>")
            << makeWinningData({makeClass({u"12"_s}, {}, u"a"_s)}, u"t"_s, u"1"_s);
        QTest::newRow("empty goods kept as an empty item")
            << root + "><toukyu name=\"1\"><number>12</number><syouhin/><syouhin>b</syouhin></toukyu></tousen>"
            << makeWinningData({makeClass({u"12"_s}, {{}, u"b"_s}, u"1"_s)}, u"年賀状"_s, u"令和8"_s);
    }
    void read()
    {
        QFETCH(QByteArray, xml);
        platform::xml::Document document;
        QVERIFY(document.loadXml(xml));
        WinningData data;
        QVERIFY(modNengajo::ReadDataDocument(document, data));
        QTEST(data, "expected");
    }

    void readFailure_data()
    {
        QTest::addColumn<QByteArray>("xml");

        QTest::newRow("text in the root") << testsupport::fixtureBytes(u"load_text_in_root.xml"_s);
        QTest::newRow("CDATA in the root") << testsupport::fixtureBytes(u"load_cdata_in_root.xml"_s);
        QTest::newRow("no type") << testsupport::fixtureBytes(u"load_missing_type.xml"_s);
        QTest::newRow("no year") << testsupport::fixtureBytes(u"load_missing_year.xml"_s);
        QTest::newRow("processing instruction in the root")
            << QByteArray("<tousen type=\"t\" year=\"1\"><?pi x?><c name=\"1\"><number>12</number></c></tousen>");
        QTest::newRow("32768 classes") << manyClasses(32768);
        QTest::newRow("32768 numbers") << manyNumbers(32768);
        QTest::newRow("url longer than the prize list shows whole")
            << "<tousen type=\"t\" year=\"1\" url=\"http://example.jp/" + QByteArray(modNengajo::MaxUrlLength, 'a')
                + "\"><c name=\"n\"><number>12</number></c></tousen>";
    }
    void readFailure()
    {
        QFETCH(QByteArray, xml);
        platform::xml::Document document;
        QVERIFY(document.loadXml(xml));
        WinningData data;
        QVERIFY(!modNengajo::ReadDataDocument(document, data));
    }

    // Every failure says why, shows no box itself (the window that asked
    // does) and leaves the data in force as they were, strFileName too.
    void loadFailure_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("withSchema");
        QTest::addColumn<QString>("text");

        const QByteArray root = "<tousen xmlns=\"urn:tousen\" type=\"t\" year=\"1\">";
        const QByteArray oversize = root + QByteArray(platform::xml::MaxDocumentBytes, ' ') + "</tousen>";

        QTest::newRow("missing file") << u"年賀状（平成17年度版）.xml"_s << QString() << QByteArray() << true
                                      << u"当選番号データファイル\"年賀状（平成17年度版）.xml\"が見つかりません。"_s;
        QTest::newRow("missing file, no schema") << u"gone.xml"_s << QString() << QByteArray() << false
                                                 << u"当選番号データファイル\"gone.xml\"が見つかりません。"_s;

        QTest::newRow("schema broken") << u"a.xml"_s << u"load_bad_number.xml"_s << QByteArray() << true
                                       << DescriptionError
                + u"[line:5, pos:27] Element '{urn:tousen}number': [facet 'pattern'] The value '7a3' is not "
                  "accepted by the pattern '[0-9]{2,6}'."_s;
        QTest::newRow("not well-formed") << u"a.xml"_s << u"load_malformed.xml"_s << QByteArray() << true
                                         << DescriptionError
                + u"[line:5, pos:13] Opening and ending tag mismatch: toukyu line 3 and toukyuu"_s;
        QTest::newRow("external entity") << u"a.xml"_s << u"load_external_entity.xml"_s << QByteArray() << true
                                         << DescriptionError
                + u"[line:3, pos:43] External entity 'xxe' is not allowed"_s;
        // A data file declares no entities; validating, the first declaration ends the parse.
        QTest::newRow("billion laughs") << u"a.xml"_s << u"load_billion_laughs.xml"_s << QByteArray() << true
                                        << DescriptionError
                + u"[line:3, pos:21] Entity 'lol' is not allowed in a document validated against a schema"_s;
        QTest::newRow("9000 references to a 5 KB entity")
            << u"a.xml"_s << u"load_repeated_entity.xml"_s << QByteArray() << true
            << DescriptionError
                + u"[line:3, pos:5014] Entity 'e' is not allowed in a document validated against a schema"_s;
        QTest::newRow("deep nesting") << u"a.xml"_s << QString() << nested(root, 100000) << true
                                      << DescriptionError
                + u"[line:1, pos:48] Element '{urn:tousen}a': This element is not expected. Expected is ( "
                  "{urn:tousen}toukyu )."_s;
        QTest::newRow("over 1 MiB") << u"a.xml"_s << QString() << oversize << true
                                    << DescriptionError
                + u"[line:0, pos:0] ファイルが大きすぎます（1048576バイトまで）。"_s;

        // Without the schema file only the non-validating load can fail.
        QTest::newRow("not well-formed, no schema")
            << u"a.xml"_s << u"load_malformed.xml"_s << QByteArray() << false << ReadFailed;
        QTest::newRow("external entity, no schema")
            << u"a.xml"_s << u"load_external_entity.xml"_s << QByteArray() << false << ReadFailed;
        QTest::newRow("billion laughs, no schema")
            << u"a.xml"_s << u"load_billion_laughs.xml"_s << QByteArray() << false << ReadFailed;
        QTest::newRow("9000 references to a 5 KB entity, no schema")
            << u"a.xml"_s << u"load_repeated_entity.xml"_s << QByteArray() << false << ReadFailed;
        QTest::newRow("deep nesting, no schema")
            << u"a.xml"_s << QString() << nested(root, 100000) << false << ReadFailed;
        QTest::newRow("over 1 MiB, no schema") << u"a.xml"_s << QString() << oversize << false << ReadFailed;

        // The card type and year show as stored, on one line, or the file is refused.
        const auto oneClass = [](const QByteArray &attributes) {
            return "<tousen xmlns=\"urn:tousen\" " + attributes
                + "><toukyu name=\"1等\"><number>12</number></toukyu></tousen>";
        };
        QTest::newRow("type turned around by U+202E")
            << u"a.xml"_s << QString() << oneClass("type=\"年賀状&#x202E;lmx\" year=\"8\"") << true
            << DescriptionError
                + u"[line:0, pos:0] はがきの種類か年に、改行や文字の向きを変える制御文字など、表示できない文字があります。"_s;
        QTest::newRow("year on two lines, no schema")
            << u"a.xml"_s << QString() << oneClass("type=\"年賀状\" year=\"令和&#13;&#10;8\"") << false << ReadFailed;

        // A file that parses but cannot be read into the data; readFailure has the others.
        QTest::newRow("comment in the root")
            << u"a.xml"_s << u"load_comment_in_root.xml"_s << QByteArray() << true << UnexpectedError;
    }
    void loadFailure()
    {
        QFETCH(QString, name);
        QFETCH(QString, fixture);
        QFETCH(QByteArray, content);
        QFETCH(bool, withSchema);
        QFETCH(QString, text);
        testsupport::ProgramFolderFixture folder;
        QVERIFY(folder.addFixture(u"load_valid.xml"_s));
        QCOMPARE(load(u"load_valid.xml"_s), qint16(0));
        if (withSchema)
            QVERIFY(folder.addSchema());
        QVERIFY(putDataFile(folder, name, fixture, content));

        const WinningData expected = m_data->winningData();
        QSignalSpy changed(m_data.get(), &DataInForce::changed);
        QCOMPARE(load(name), qint16(-1));
        QCOMPARE(m_message, text);
        QVERIFY(m_box.shown.isEmpty());
        QCOMPARE(m_data->winningData(), expected);
        QCOMPARE(changed.size(), 0);
    }

    // Files of up to 1 MiB that made the validator work by the square of their
    // size are validated and read, or refused, within moments.
    void hostileFilesEndQuickly_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("valid");

        const auto inOneClass = [](const QByteArray &element, const QByteArray &text) {
            return "<tousen xmlns=\"urn:tousen\" type=\"t\" year=\"1\"><toukyu name=\"1\">" + element + text
                + "</toukyu></tousen>";
        };
        const int pieces = (platform::xml::MaxDocumentBytes - 200) / 5;
        // Each reference or section is a piece of its own for the parser.
        QTest::newRow("9000 references to a 5 KB entity") << u"load_repeated_entity.xml"_s << QByteArray() << false;
        QTest::newRow("goods written as 200,000 references")
            << QString()
            << inOneClass("<number>12</number><syouhin>", QByteArray("&#49;").repeated(pieces) + "</syouhin>") << true;
        QTest::newRow("number written as 200,000 references")
            << QString() << inOneClass("<number>", QByteArray("&#49;").repeated(pieces) + "</number>") << false;
        QTest::newRow("goods in 80,000 CDATA sections")
            << QString()
            << inOneClass(
                   "<number>12</number><syouhin>", QByteArray("<![CDATA[a]]>").repeated(pieces * 5 / 13) + "</syouhin>")
            << true;
    }
    void hostileFilesEndQuickly()
    {
        QFETCH(QString, fixture);
        QFETCH(QByteArray, content);
        QFETCH(bool, valid);
        testsupport::ProgramFolderFixture folder;
        QVERIFY(folder.addSchema());
        QVERIFY(putDataFile(folder, u"a.xml"_s, fixture, content));

        QElapsedTimer timer;
        timer.start();
        const QString description
            = modNengajo::ValidateDataFile(folder.dataPath(u"a.xml"_s), folder.dataPath(modNengajo::SchemaFileName));
        QCOMPARE(description.isEmpty(), valid);
        QCOMPARE(load(u"a.xml"_s), qint16(valid ? 0 : -1));
        QVERIFY(QFile::remove(folder.dataPath(modNengajo::SchemaFileName)));
        load(u"a.xml"_s);
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed()) + u" ms"_s));
    }

    // The remembered file at start: the default name for none, nothing in
    // force and no message for a file that is not in the data folder, the
    // loader's message for one that fails. The windows are built on what it
    // leaves, so it announces nothing.
    void loadAtStart_data()
    {
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("message");
        QTest::newRow("none: the default") << QString() << modNengajo::DefaultFileName << QString();
        QTest::newRow("a file of the data folder") << u"mine.xml"_s << u"mine.xml"_s << QString();
        QTest::newRow("gone") << u"gone.xml"_s << QString() << QString();
        QTest::newRow("out of the data folder") << u"../data/mine.xml"_s << QString() << QString();
        // Separators of every system lead out, whatever this one makes of them.
        QTest::newRow("a folder below, slash") << u"sub/mine.xml"_s << QString() << QString();
        QTest::newRow("a folder below, backslash") << u"sub\\mine.xml"_s << QString() << QString();
        QTest::newRow("out of the data folder, backslash") << u"..\\data\\mine.xml"_s << QString() << QString();
        QTest::newRow("broken") << u"bad.xml"_s << QString() << DescriptionError;
    }
    void loadAtStart()
    {
        QFETCH(QString, remembered);
        QFETCH(QString, message);
        testsupport::ProgramFolderFixture folder;
        QVERIFY(folder.addSchema());
        for (const QString &name : {modNengajo::DefaultFileName, u"mine.xml"_s})
            QVERIFY(folder.addFixture(u"load_valid.xml"_s, name));
        // A valid file where a name with separators leads: in a folder below,
        // or one file of that name where a backslash is no separator.
        for (const QString &name : {u"sub/mine.xml"_s, u"sub\\mine.xml"_s}) {
            QVERIFY(QDir().mkpath(QFileInfo(folder.dataPath(name)).path()));
            QVERIFY(folder.addFixture(u"load_valid.xml"_s, name));
        }
        QVERIFY(folder.addFixture(u"load_bad_number.xml"_s, u"bad.xml"_s));

        QSignalSpy changed(m_data.get(), &DataInForce::changed);
        const DataLoad result = m_data->loadAtStart(remembered);
        QTEST(m_data->winningData().strFileName, "fileName");
        QCOMPARE(result.loaded(), !m_data->winningData().strFileName.isEmpty());
        QVERIFY(result.message.startsWith(message) && result.message.isEmpty() == message.isEmpty());
        QCOMPARE(changed.size(), 0);
        QVERIFY(m_box.shown.isEmpty());
    }

    // The program's start: without the XML component it ends after its box,
    // reading nothing; else a name the last run could not keep is told, and
    // the remembered file is in force or the loader says why not.
    void startUp_data()
    {
        QTest::addColumn<bool>("component");
        QTest::addColumn<bool>("unsavedNote");
        QTest::addColumn<QString>("fixture"); // copied in as the default file; empty: none
        QTest::addColumn<int>("result"); // -1: the program ends, 0: no data, 1: data in force
        QTest::addColumn<QList<platform::MessageBox::Icon>>("boxes");
        using Icon = platform::MessageBox::Icon;
        QTest::newRow("no XML component") << false << true << u"load_valid.xml"_s << -1 << QList {Icon::Critical};
        QTest::newRow("the default file") << true << false << u"load_valid.xml"_s << 1 << QList<Icon> {};
        QTest::newRow("no data file") << true << false << QString() << 0 << QList<Icon> {};
        QTest::newRow("a broken file") << true << false << u"load_bad_number.xml"_s << 0 << QList {Icon::Critical};
        QTest::newRow("a name not kept") << true << true << u"load_valid.xml"_s << 1 << QList {Icon::Warning};
    }
    void startUp()
    {
        QFETCH(bool, component);
        QFETCH(bool, unsavedNote);
        QFETCH(QString, fixture);
        QFETCH(int, result);
        QFETCH(QList<platform::MessageBox::Icon>, boxes);
        testsupport::ProgramFolderFixture folder;
        QVERIFY(folder.addSchema());
        if (!fixture.isEmpty())
            QVERIFY(folder.addFixture(fixture, modNengajo::DefaultFileName));
        platform::xml::FakeXmlComponent xml(component);
        const platform::ScopedService<platform::xml::XmlComponent> xmlGuard(xml);
        platform::IniSettingsFile ini;
        const platform::ScopedService<platform::SettingsFile> iniGuard(ini);
        if (unsavedNote)
            Settings::noteUnsavedFileName();

        const std::optional<bool> loaded = m_data->startUp();
        QCOMPARE(loaded ? int(*loaded) : -1, result);
        QCOMPARE(m_data->winningData().strFileName, result == 1 ? modNengajo::DefaultFileName : QString());
        QList<platform::MessageBox::Icon> shown;
        for (const platform::FakeMessageBox::Shown &box : std::as_const(m_box.shown))
            shown.append(box.icon);
        QCOMPARE(shown, boxes);
    }

    // What keeps bytes from being stored as a data file, in words after the
    // place: the parser's own for an error in the text, the program's where
    // the parser's would name no rule a user can follow.
    void checkDataBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("words");
        const QByteArray r9 = dataFile("年賀状", "令和9");
        QTest::newRow("a number the schema refuses")
            << dataFile("年賀状", "令和9", "7a3") << u"[line:4, pos:25] "_s
            << u"Element '{urn:tousen}number': [facet 'pattern'] The value '7a3' is not accepted by the pattern "
               "'[0-9]{2,6}'."_s;
        QTest::newRow("a class of 32768 numbers")
            << QByteArray(r9).replace("<number>12</number>", QByteArray("<number>12</number>").repeated(32768))
            << u"[line:4, pos:"_s << u"１つの等級の当選番号が多すぎます（32767個まで）。"_s;
        // 400,000 characters of Japanese take 1.2 MB in UTF-8.
        QTest::newRow("a prize of 1.2 MB")
            << QByteArray(r9).replace(
                   "</number>", "</number><syouhin>" + QByteArray("賞").repeated(400000) + "</syouhin>")
            << u"[line:0, pos:0] "_s << u"ファイルが大きすぎます（1048576バイトまで）。"_s;
    }
    void checkDataBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, place);
        QFETCH(QString, words);
        testsupport::ProgramFolderFixture folder;
        QVERIFY(folder.addSchema());
        const QString problem = modNengajo::CheckDataBytes(bytes);
        QVERIFY2(problem.startsWith(place) && problem.endsWith(words), qPrintable(problem));
    }

    // A file from anywhere added to the data folder: what is refused and why
    // (%1 stands for the file's path), what is asked, and where it goes.
    void addDataFile_data()
    {
        QTest::addColumn<QString>("source"); // file, missing, folder, fifo, link to a folder, link to a file
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("present"); // already in the data folder as 年賀状（令和9年度版）.xml
        QTest::addColumn<bool>("answer"); // to the question whether to replace it
        QTest::addColumn<bool>("readOnly"); // the program folder: new files go to the user's
        QTest::addColumn<DataFileAdded>("outcome");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("message"); // how it begins
        using Added = DataFileAdded;
        const QByteArray r9 = dataFile("年賀状", "令和9");
        const QString reiwa9 = u"年賀状（令和9年度版）.xml"_s;
        const QString described = u"ファイル\"%1\"の記述にエラーがあるため、追加しませんでした。\r\n\r\n"_s;

        QTest::newRow("named from its type and year")
            << u"file"_s << r9 << QByteArray() << false << false << Added::Added << reiwa9 << QString();
        QTest::newRow("平成, digits alone") << u"file"_s << dataFile("年賀状", "28") << QByteArray() << false << false
                                            << Added::Added << u"年賀状（平成28年度版）.xml"_s << QString();
        QTest::newRow("平成, written out") << u"file"_s << dataFile("年賀状", "平成30") << QByteArray() << false
                                           << false << Added::Added << u"年賀状（平成30年度版）.xml"_s << QString();

        QTest::newRow("the same bytes there")
            << u"file"_s << r9 << r9 << false << false << Added::AlreadyThere << reiwa9 << QString();
        QTest::newRow("another file there, kept") << u"file"_s << r9 << dataFile("年賀状", "令和9", "34") << false
                                                  << false << Added::Declined << QString() << QString();
        QTest::newRow("another file there, replaced") << u"file"_s << r9 << dataFile("年賀状", "令和9", "34") << true
                                                      << false << Added::Added << reiwa9 << QString();

        QTest::newRow("schema broken") << u"file"_s << dataFile("年賀状", "令和9", "7a3") << QByteArray() << true
                                       << false << Added::Refused << QString() << described + u"[line:4, pos:"_s;
        QTest::newRow("not well-formed") << u"file"_s << QByteArray("<tousen") << QByteArray() << true << false
                                         << Added::Refused << QString() << described + u"[line:1, pos:"_s;
        QTest::newRow("what the loader cannot read")
            << u"file"_s << QByteArray(r9).replace("<toukyu", "<!-- c --><toukyu") << QByteArray() << true << false
            << Added::Refused << QString() << described + u"当選番号データとして読めない内容があります"_s;
        QTest::newRow("over 1 MiB") << u"file"_s << QByteArray(r9).append(platform::xml::MaxDocumentBytes, ' ')
                                    << QByteArray() << true << false << Added::Refused << QString()
                                    << u"ファイル\"%1\"は大きすぎるため、追加できません（1048576バイトまで）。"_s;
        QTest::newRow("a type that makes no file name")
            << u"file"_s << dataFile("年賀/状", "令和9") << QByteArray() << true << false << Added::Refused << QString()
            << u"ファイル\"%1\"のはがきの種類と年からはファイル名を作れないため"_s;
        QTest::newRow("missing") << u"missing"_s << QByteArray() << QByteArray() << true << false << Added::Refused
                                 << QString() << u"ファイル\"%1\"が見つかりません。"_s;
        QTest::newRow("a folder") << u"folder"_s << QByteArray() << QByteArray() << true << false << Added::Refused
                                  << QString() << u"\"%1\"はファイルではないため、追加できません。"_s;
// Windows makes shortcuts, no links, and has no FIFOs; a folder there is
// read-only by its access list alone, which a test cannot take from its own user.
#ifndef Q_OS_WIN
        QTest::newRow("read-only program folder: into the user's")
            << u"file"_s << r9 << QByteArray() << false << true << Added::Added << reiwa9 << QString();
        QTest::newRow("through a link to a file")
            << u"link to a file"_s << r9 << QByteArray() << false << false << Added::Added << reiwa9 << QString();
        QTest::newRow("a FIFO") << u"fifo"_s << QByteArray() << QByteArray() << true << false << Added::Refused
                                << QString() << u"\"%1\"はファイルではないため、追加できません。"_s;
        QTest::newRow("a link to a folder")
            << u"link to a folder"_s << QByteArray() << QByteArray() << true << false << Added::Refused << QString()
            << u"\"%1\"はファイル以外のものへのリンクのため、追加できません。"_s;
#endif
    }
    void addDataFile()
    {
        QFETCH(QString, source);
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, present);
        QFETCH(bool, answer);
        QFETCH(bool, readOnly);
        QFETCH(DataFileAdded, outcome);
        QFETCH(QString, fileName);
        QFETCH(QString, message);
        testsupport::ProgramFolderFixture folder;
        QVERIFY(folder.addSchema());
        const QString reiwa9 = u"年賀状（令和9年度版）.xml"_s;
        if (!present.isEmpty())
            QVERIFY(folder.writeData(reiwa9, present));
        folder.setReadOnly(readOnly);

        // Sent files lie anywhere, in folders of any name.
        QTemporaryDir elsewhere;
        const QString sent = elsewhere.filePath(u"受け取った ファイル/当選番号 令和9.xml"_s);
        QVERIFY(QDir().mkpath(QFileInfo(sent).path()));
        const QString file = source.startsWith(u"link"_s) ? elsewhere.filePath(u"target"_s) : sent;
        if (source == u"folder"_s || source == u"link to a folder"_s)
            QVERIFY(QDir().mkpath(file));
        if (source == u"file"_s || source == u"link to a file"_s) {
            QFile written(file);
            QVERIFY(written.open(QIODevice::WriteOnly) && written.write(content) == content.size());
        }
#ifndef Q_OS_WIN
        if (source == u"fifo"_s)
            QCOMPARE(::mkfifo(QFile::encodeName(sent).constData(), 0600), 0);
#endif
        if (source.startsWith(u"link"_s))
            QVERIFY(QFile::link(file, sent));
        const QMap<QString, QByteArray> before = testsupport::snapshot(folder.dataPath());

        QStringList asked;
        const DataFileAdd added = modNengajo::AddDataFile(sent, [&](const QString &title) {
            asked.append(title);
            return answer;
        });
        QCOMPARE(added.code, outcome);
        QCOMPARE(added.fileName, fileName);
        QVERIFY2(message.isEmpty() ? added.words.isEmpty()
                                   : added.words.startsWith(message.arg(QDir::toNativeSeparators(sent))),
            qPrintable(added.words));
        QCOMPARE(asked, present.isEmpty() || present == content ? QStringList() : QStringList {reiwa9.chopped(4)});

        // Only an added file changes a data folder, and it is there whole.
        QMap<QString, QByteArray> expected = before;
        const QString into = readOnly ? folder.userDataPath() : folder.dataPath();
        if (outcome == DataFileAdded::Added) {
            QCOMPARE(testsupport::fileBytes(into + fileName), content);
            if (!readOnly)
                expected.insert(fileName, content);
        }
        QCOMPARE(testsupport::snapshot(folder.dataPath()), expected);
    }

    // A file whose name differs in letter case alone is the one asked about
    // and replaced: the data folder never holds both.
    void addDataFileOneInCase()
    {
        testsupport::ProgramFolderFixture folder;
        QVERIFY(folder.addSchema());
        QVERIFY(folder.writeData(u"nenga（令和9年度版）.xml"_s, dataFile("nenga", "令和9", "34")));
        QTemporaryDir elsewhere;
        const QString sent = elsewhere.filePath(u"a.xml"_s);
        QFile file(sent);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(dataFile("NENGA", "令和9")) > 0);
        file.close();

        QStringList asked;
        const DataFileAdd added = modNengajo::AddDataFile(sent, [&asked](const QString &title) {
            asked.append(title);
            return true;
        });
        QCOMPARE(asked, QStringList {u"nenga（令和9年度版）"_s});
        QCOMPARE(added.fileName, u"nenga（令和9年度版）.xml"_s);
        QCOMPARE(QDir(folder.dataPath()).entryList({u"*.xml"_s}), QStringList {u"nenga（令和9年度版）.xml"_s});
        QCOMPARE(testsupport::fileBytes(folder.dataPath(added.fileName)), dataFile("NENGA", "令和9"));
    }

    // A folder named like the schema is no schema: the file is read without validation.
    void schemaPathIsAFolder()
    {
        testsupport::ProgramFolderFixture folder;
        QVERIFY(QDir().mkdir(folder.dataPath(modNengajo::SchemaFileName)));
        QVERIFY(folder.addFixture(u"load_malformed.xml"_s));
        QCOMPARE(load(u"load_malformed.xml"_s), qint16(-1));
        QCOMPARE(m_message, ReadFailed);
    }

    // The bundled files hold exactly the published numbers, goods and dates.
    void shippedFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QList<QStringList>>("numbers");
        QTest::addColumn<QStringList>("goods");
        QTest::addColumn<QList<QDate>>("dates"); // drawn, exchange from, exchange to

        const auto firstPrize = [](const QString &stampYear) {
            return u"現金30万円\r\nEJOICAセレクトギフト（電子マネー）31万円分\r\n"_s + stampYear
                + u"年発行特殊切手集と現金20万円"_s;
        };
        const QString stamps = u"お年玉切手シート"_s;
        const QString parcel40 = u"ふるさと小包など（40点の中から1点）"_s;
        const QString parcel39 = u"ふるさと小包など（39点の中から1点）"_s;
        QTest::newRow("R8") << u"年賀状（令和8年度版）.xml"_s << u"令和8"_s
                            << QList<QStringList> {{u"455756"_s}, {u"5037"_s}, {u"73"_s, u"44"_s, u"84"_s}}
                            << QStringList {firstPrize(u"2025"_s), u"賞品カタログ掲載の賞品（67点の中から1点）"_s,
                                   stamps}
                            << QList<QDate> {QDate(2026, 1, 19), QDate(2026, 1, 20), QDate(2026, 7, 21)};
        QTest::newRow("R7") << u"年賀状（令和7年度版）.xml"_s << u"令和7"_s
                            << QList<QStringList> {{u"176357"_s}, {u"2832"_s}, {u"86"_s, u"65"_s, u"32"_s}}
                            << QStringList {firstPrize(u"2024"_s), parcel40, stamps}
                            << QList<QDate> {QDate(2025, 1, 20), QDate(2025, 1, 21), QDate(2025, 7, 22)};
        QTest::newRow("R6") << u"年賀状（令和6年度版）.xml"_s << u"令和6"_s
                            << QList<QStringList> {{u"394372"_s}, {u"1879"_s}, {u"71"_s, u"69"_s, u"00"_s}}
                            << QStringList {firstPrize(u"2023"_s), parcel40, stamps}
                            << QList<QDate> {QDate(2024, 1, 17), QDate(2024, 1, 18), QDate(2024, 7, 17)};
        QTest::newRow("R5") << u"年賀状（令和5年度版）.xml"_s << u"令和5"_s
                            << QList<QStringList> {{u"109681"_s}, {u"6417"_s}, {u"73"_s, u"42"_s, u"11"_s}}
                            << QStringList {firstPrize(u"2022"_s), parcel40, stamps}
                            << QList<QDate> {QDate(2023, 1, 15), QDate(2023, 1, 16), QDate(2023, 7, 18)};
        QTest::newRow("R4") << u"年賀状（令和4年度版）.xml"_s << u"令和4"_s
                            << QList<QStringList> {{u"770102"_s}, {u"1208"_s}, {u"02"_s, u"50"_s, u"54"_s}}
                            << QStringList {firstPrize(u"2021"_s), parcel40, stamps}
                            << QList<QDate> {QDate(2022, 1, 16), QDate(2022, 1, 17), QDate(2022, 7, 19)};
        // The exchange period of this draw is not known for certain: the file gives none.
        QTest::newRow("R3") << u"年賀状（令和3年度版）.xml"_s << u"令和3"_s
                            << QList<QStringList> {{u"757462"_s}, {u"6335"_s}, {u"60"_s, u"58"_s, u"50"_s}}
                            << QStringList {u"現金30万円\r\nEJOICAセレクトギフト（電子マネー）31万円分"_s, parcel39,
                                   stamps}
                            << QList<QDate> {QDate(2021, 1, 17), QDate(), QDate()};
        QTest::newRow("H30") << u"年賀状（平成30年度版）.xml"_s << u"30"_s
                             << QList<QStringList> {{u"784640"_s}, {u"3260"_s}, {u"27"_s, u"86"_s}}
                             << QStringList {u"セレクトギフト（12万円相当）\r\n現金10万円"_s, parcel39, stamps}
                             << QList<QDate> {QDate(2018, 1, 14), QDate(2018, 1, 15), QDate(2018, 7, 17)};
        QTest::newRow("H29") << u"年賀状（平成29年度版）.xml"_s << u"29"_s
                             << QList<QStringList> {{u"293633"_s}, {u"6470"_s}, {u"45"_s, u"51"_s}}
                             << QStringList {u"現金10万円\r\nリンベルスマートギフト 11万ポイント"_s,
                                    u"ふるさと小包など"_s, stamps}
                             << QList<QDate> {QDate(2017, 1, 15), QDate(2017, 1, 16), QDate(2017, 7, 18)};
        QTest::newRow("H28") << u"年賀状（平成28年度版）.xml"_s << u"28"_s
                             << QList<QStringList> {{u"667085"_s}, {u"9648"_s}, {u"69"_s, u"90"_s}}
                             << QStringList {u"旅行・家電など・現金（10万円）"_s, u"ふるさと小包など"_s, stamps}
                             << QList<QDate> {QDate(2016, 1, 17), QDate(2016, 1, 18), QDate(2016, 7, 19)};
        QTest::newRow("H26") << u"年賀状（平成26年度版）.xml"_s << u"26"_s
                             << QList<QStringList> {{u"97085"_s}, {u"2344"_s}, {u"72"_s, u"74"_s}}
                             << QStringList {u"現金1万円"_s, u"ふるさと小包など（38点の中から1点）"_s, stamps}
                             << QList<QDate> {QDate(2014, 1, 19), QDate(2014, 1, 20), QDate(2014, 7, 22)};
    }
    void shippedFiles()
    {
        QFETCH(QString, name);
        QFETCH(QString, year);
        QFETCH(QList<QStringList>, numbers);
        QFETCH(QStringList, goods);
        QFETCH(QList<QDate>, dates);
        testsupport::ProgramFolderFixture folder;
        QVERIFY(folder.addSchema());
        QVERIFY(folder.addData(testsupport::bundledPath(name)));
        QCOMPARE(load(name), qint16(0));
        QVERIFY(m_box.shown.isEmpty());

        QList<PrizeClass> classes;
        for (qsizetype k = 0; k < numbers.size(); ++k)
            classes.append(makeClass(numbers.at(k), goods.at(k).split(CrLf), QString::number(k + 1) + u"等"_s));
        WinningData expected
            = withDates(makeWinningData(classes, u"年賀状"_s, year), dates.at(0), dates.at(1), dates.at(2));
        expected.strFileName = name;
        QCOMPARE(m_data->winningData(), expected);
    }

    void shippedFilesAreTheDrawsOnly()
    {
        const QStringList shipped = QDir(QStringLiteral(PROGRAM_DATA_DIR)).entryList({u"*.xml"_s}, QDir::Files);
        QCOMPARE(QSet<QString>(shipped.begin(), shipped.end()),
            QSet<QString>({u"年賀状（令和8年度版）.xml"_s, u"年賀状（令和7年度版）.xml"_s,
                u"年賀状（令和6年度版）.xml"_s, u"年賀状（令和5年度版）.xml"_s, u"年賀状（令和4年度版）.xml"_s,
                u"年賀状（令和3年度版）.xml"_s, u"年賀状（平成30年度版）.xml"_s, u"年賀状（平成29年度版）.xml"_s,
                u"年賀状（平成28年度版）.xml"_s, u"年賀状（平成26年度版）.xml"_s}));
        QVERIFY(!shipped.contains(modNengajo::DefaultFileName));
    }

    // The card-type list: newest draw first, then card type, then name; years
    // that cannot be read last, by name; files that fail validation left out.
    void listDataFiles()
    {
        testsupport::ProgramFolderFixture folder;
        QVERIFY(folder.addSchema());
        const QList<DataFileEntry> files {
            {u"a 昭和"_s, u"年賀状"_s, u"昭和60"_s},
            {u"b 平成26"_s, u"年賀状"_s, u"26"_s},
            {u"c 令和1"_s, u"年賀状"_s, u"令和1"_s},
            {u"d 平成30 written out"_s, u"年賀状"_s, u"平成30"_s},
            {u"e 令和8 年賀状"_s, u"年賀状"_s, u"令和8"_s},
            {u"f 令和8 かもめ"_s, u"かもめ～る"_s, u"令和8"_s},
            {u"g 令和8 年賀状"_s, u"年賀状"_s, u"令和8"_s},
            {u"h 平成31"_s, u"年賀状"_s, u"31"_s},
            {u"0 元年"_s, u"年賀状"_s, u"元年1"_s},
        };
        for (const DataFileEntry &file : files) {
            const QString xml = u"<tousen xmlns=\"urn:tousen\" type=\""_s + file.strType + u"\" year=\""_s
                + file.strYear + u"\"><toukyu name=\"1等\"><number>12</number></toukyu></tousen>"_s;
            QVERIFY(folder.writeData(file.strName + u".xml"_s, xml.toUtf8()));
        }
        QVERIFY(folder.addFixture(u"load_bad_number.xml"_s, u"z 令和9 broken.xml"_s));

        const auto at = [&files](int i) { return files.at(i); };
        QCOMPARE(modNengajo::ListDataFiles(),
            (QList<DataFileEntry> {at(5), at(4), at(6), at(2), at(7), at(3), at(1), at(8), at(0)}));
    }

    // A second validator agrees with the schema.
    void xmllintAgrees()
    {
        if (xmllint().isEmpty())
            QSKIP("xmllint is not installed (libxml2-utils)");
        const QDir data(QStringLiteral(PROGRAM_DATA_DIR));
        for (const QString &name : data.entryList({u"*.xml"_s}, QDir::Files))
            QVERIFY2(runXmllint(data.filePath(name)) == 0, qPrintable(name));
        for (const QString &fixture : {u"load_bad_number.xml"_s, u"load_six_classes.xml"_s, u"load_missing_name.xml"_s})
            QVERIFY2(runXmllint(testsupport::fixturePath(fixture)) == 3, qPrintable(fixture));
    }
};

QTEST_GUILESS_MAIN(tst_DataFile)
#include "tst_datafile.moc"
