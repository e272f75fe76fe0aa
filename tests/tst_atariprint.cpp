#include "fakeservices.h"
#include "testsupport.h"

#include "core/AtariBook.h"
#include "core/DataInForce.h"
#include "core/SaveJob.h"
#include "platform/stoprequest.h"
#include "ui/AtariPrint.h"
#include "ui/Fonts.h"
#include "ui/PrintJob.h"
#include "ui/frmAtariList.h"

#include <QFile>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThreadPool>

#include <csignal>
#include <deque>
#include <map>
#include <tuple>

namespace {

// A page at 300 dpi, A4 unless told, that keeps the texts painted on it with
// their positions and sizes: a printed page is read back as its lines of text.
class TextPage final : public QImage
{
public:
    explicit TextPage(QSizeF millimetres = {210, 297})
        : QImage(
            qRound(millimetres.width() / 25.4 * 300), qRound(millimetres.height() / 25.4 * 300), QImage::Format_ARGB32)
    {
        setDotsPerMeterX(11811);
        setDotsPerMeterY(11811);
    }
    QPaintEngine *paintEngine() const override { return &m_engine; }

    // The page inside the margins of 15 mm the list is printed with.
    QRectF printable() const
    {
        const qreal margin = 15 / 25.4 * 300;
        return QRectF(0, 0, width() - 2 * margin, height() - 2 * margin);
    }

    // Lines from top to bottom, each line's texts from left to right, joined.
    QStringList lines() const
    {
        std::map<int, std::map<qreal, QString>> byLine;
        for (const Text &text : m_engine.texts)
            byLine[qRound(text.position.y())][text.position.x()] += text.text;
        QStringList result;
        for (const auto &[y, texts] : byLine) {
            result.append(QString());
            for (const auto &[x, text] : texts)
                result.last() += text;
        }
        return result;
    }

    struct Text
    {
        QPointF position; // of the baseline's start
        QString text;
        qreal points;
    };
    const QList<Text> &texts() const { return m_engine.texts; }

private:
    struct Engine final : QPaintEngine
    {
        Engine()
            : QPaintEngine(AllFeatures)
        { }
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override { }
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { }
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override { }
        void drawPath(const QPainterPath &) override { }
        void drawTextItem(const QPointF &p, const QTextItem &textItem) override
        {
            texts.append({p, textItem.text(), textItem.font().pointSizeF()});
        }
        Type type() const override { return User; }
        QList<Text> texts;
    };
    mutable Engine m_engine;
};

// Cards 1..count of class 3, each with one line of goods.
AtariPrintContent cards(int count)
{
    AtariPrintContent content;
    content.strTypeYear = QStringLiteral("【年賀状 令和8年度】");
    content.kigen = {QStringLiteral("賞品の引換は2026年7月21日まで（あと177日）"), false};
    for (int i = 1; i <= count; ++i)
        content.rows.append(
            {i, QString::number(100000 + i), QStringLiteral("３等"), QStringLiteral("お年玉切手シート")});
    content.strTotals = QStringLiteral("３等 %1枚　合計 %1枚").arg(count);
    content.printed = QDate(2026, 1, 25);
    return content;
}

// Goods that take a page and more: 300 sentences.
QString pagesOfGoods()
{
    QString goods;
    for (int i = 1; i <= 300; ++i)
        goods += QStringLiteral("賞品の説明その%1。").arg(i);
    return goods;
}

// Every page of content as laid out on pages like paper.
std::deque<TextPage> printed(const AtariPrintContent &content, QSizeF paper = {210, 297})
{
    const TextPage page(paper);
    const AtariPrint layout(content, page, page.printable());
    std::deque<TextPage> pages;
    for (int i = 0; i < layout.pageCount(); ++i) {
        pages.emplace_back(paper);
        QPainter painter(&pages.back());
        layout.paintPage(painter, i);
    }
    return pages;
}

} // namespace

// The printed list of won cards: its pages, and the print's outcome.
class tst_AtariPrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Fonts::installSubstitutions(); }

    // 45 won cards: 20 a page, the totals under the last; every page has the
    // title, the card type and year, the deadline and the date printed.
    void printedPages()
    {
        AtariPrintContent content = cards(45);
        content.rows[1].strSyouhin = QStringLiteral("現金30万円／切手集と現金20万円（いずれか1点）");
        content.rows[2].strKoukan = QStringLiteral("済");
        content.rows[2].strSender = QStringLiteral("田中さん");
        const std::deque<TextPage> pages = printed(content);
        QCOMPARE(pages.size(), 3U);
        QList<QStringList> lines;
        for (int page = 0; page < 3; ++page) {
            lines.append(pages.at(page).lines());
            QCOMPARE(lines.last().mid(0, 4),
                (QStringList {
                    "当たったはがきの一覧", content.strTypeYear, content.kigen.text, "順番番号等級賞品引換差出人"}));
            QCOMPARE(lines.last().last(), QStringLiteral("印刷日：2026年1月25日%1 / 3").arg(page + 1));
        }
        const auto rowLine = [&](int i) {
            const AtariList::Row &row = content.rows.at(i - 1);
            return QString::number(i) + row.strNumber + row.strResult + row.strSyouhin + row.strKoukan + row.strSender;
        };
        QCOMPARE(lines.at(0).at(4), rowLine(1));
        QVERIFY(lines.at(0).contains(QStringLiteral("3100003３等お年玉切手シート済田中さん")));
        // Card 2's goods wrap in their cell: its number begins their first line.
        QVERIFY(lines.at(0).at(5).startsWith(QStringLiteral("2100002３等現金30万円")));
        QCOMPARE(lines.at(0).at(lines.at(0).size() - 2), rowLine(20));
        QCOMPARE(lines.at(1).at(4), rowLine(21));
        QCOMPARE(lines.at(1).at(4 + 19), rowLine(40));
        QCOMPARE(lines.at(2).at(4), rowLine(41));
        QCOMPARE(lines.at(2).at(8), rowLine(45));
        QCOMPARE(lines.at(2).at(9), content.strTotals);
    }

    // Read at arm's length: the table's text is never below 12 points, and 20
    // cards with their totals fill an A4 page.
    void textIsLargeOnEveryPaper_data()
    {
        QTest::addColumn<QSizeF>("paper"); // in millimetres
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("pages");

        QTest::newRow("A4, 20 cards") << QSizeF(210, 297) << 20 << 1;
        QTest::newRow("A4, 21 cards") << QSizeF(210, 297) << 21 << 2;
        QTest::newRow("A5: fewer cards a page") << QSizeF(148, 210) << 20 << 2;
        QTest::newRow("A4 across") << QSizeF(297, 210) << 20 << 2;
    }
    void textIsLargeOnEveryPaper()
    {
        QFETCH(QSizeF, paper);
        QFETCH(int, count);
        const AtariPrintContent content = cards(count);
        const std::deque<TextPage> pages = printed(content, paper);
        QTEST(static_cast<int>(pages.size()), "pages");
        for (const TextPage &page : pages) {
            for (const TextPage::Text &text : page.texts()) {
                if (text.text.contains(QStringLiteral("お年玉切手シート")) || text.text == content.strTotals)
                    QVERIFY2(text.points >= AtariPrint::MinTablePoints, qPrintable(text.text));
            }
        }
        if (count == 20 && pages.size() == 1) {
            // The totals stand in the lowest fifth of the page (the table has the
            // exchange mark and the sender beside the goods).
            const TextPage &page = pages.front();
            const auto totals = std::find_if(page.texts().begin(), page.texts().end(),
                [&](const TextPage::Text &text) { return text.text == content.strTotals; });
            QVERIFY(totals != page.texts().end());
            QVERIFY2(totals->position.y() > 0.8 * page.printable().height(),
                qPrintable(QString::number(totals->position.y()) + u' ' + QString::number(page.printable().height())
                    + u' ' + QString::number(totals->points)));
        }
    }

    // Goods longer than a page begin on a page of their own and go on over the
    // following pages, every line inside the page, with the card named again
    // at the top of each; the next card follows.
    void longGoodsGoOnOverPages()
    {
        AtariPrintContent content = cards(3);
        QString goods;
        for (int i = 1; i <= 150; ++i)
            goods += QStringLiteral("賞品の説明その%1。").arg(i);
        content.rows[1].strSyouhin = goods;
        const std::deque<TextPage> pages = printed(content);
        QVERIFY(pages.size() >= 3U);

        QString printedGoods;
        for (std::size_t page = 0; page < pages.size(); ++page) {
            for (const TextPage::Text &text : pages.at(page).texts())
                QVERIFY(text.position.y() <= pages.at(page).printable().bottom());
            const QStringList lines = pages.at(page).lines();
            // Title, type, deadline, heading; the rows; the date printed.
            for (const QString &line : lines.mid(4, lines.size() - 5)) {
                if (line.startsWith(QStringLiteral("2100002３等")))
                    printedGoods += line.mid(9);
                else if (line != u"1100001３等お年玉切手シート" && line != u"3100003３等お年玉切手シート"
                    && line != content.strTotals)
                    printedGoods += line;
            }
        }
        QCOMPARE(printedGoods, goods);
        QCOMPARE(pages.front().lines().at(4), QStringLiteral("1100001３等お年玉切手シート"));
        QVERIFY(pages.back().lines().contains(QStringLiteral("3100003３等お年玉切手シート")));
        // The long card begins at the top of a page of its own.
        QCOMPARE(pages.front().lines().size(), 4 + 1 + 1);
        QVERIFY(pages.at(1).lines().at(4).startsWith(QStringLiteral("2100002３等賞品の説明その1。")));
    }

    // The print tells how far it has come, the cards laid out and then the
    // pages painted, and stops where it is told: a PDF file is then left as it was.
    void printStopsWhenTold_data()
    {
        QTest::addColumn<int>("stopStage"); // -1: never stopped
        QTest::addColumn<int>("stopDone");
        QTest::addColumn<int>("stopCall"); // the first call with that stage and count, or one told again

        using Stage = AtariPrint::Stage;
        QTest::newRow("never stopped") << -1 << 0 << 0;
        QTest::newRow("before the first card") << int(Stage::Layout) << 0 << 1;
        QTest::newRow("within the long goods of card 2") << int(Stage::Layout) << 1 << 2;
        QTest::newRow("after the first page") << int(Stage::Paint) << 1 << 1;
    }
    void printStopsWhenTold()
    {
        QFETCH(int, stopStage);
        QFETCH(int, stopDone);
        QFETCH(int, stopCall);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("当たり.pdf"));
        QFile earlier(path);
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("%PDF-1.4 earlier") == 16);
        earlier.close();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        AtariPrintContent content = cards(3);
        content.rows[1].strSyouhin = pagesOfGoods();

        // What the print was told last, and how often it was told that.
        std::tuple<AtariPrint::Stage, qsizetype, qsizetype> last;
        int repeats = 0;
        int layoutRepeats = 0;
        const Outcome<> print
            = AtariPrint::print(printer, content, [&](AtariPrint::Stage stage, qsizetype done, qsizetype total) {
                  const auto now = std::tuple(stage, done, total);
                  repeats = now == last ? repeats + 1 : 1;
                  layoutRepeats = std::max(layoutRepeats, stage == AtariPrint::Stage::Layout ? repeats : 0);
                  last = now;
                  return !(int(stage) == stopStage && done == stopDone && repeats == stopCall);
              });

        QCOMPARE(print.words, QString());
        QVERIFY(print.ok());
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        const QByteArray pdf = earlier.readAll();
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList {QStringLiteral("当たり.pdf")});
        if (stopStage >= 0) {
            QCOMPARE(pdf, QByteArray("%PDF-1.4 earlier"));
            QCOMPARE(int(std::get<0>(last)), stopStage);
            return;
        }
        QVERIFY(pdf.size() > 1000);
        // Card 2 was told of again while its goods were laid out; the pages, all painted, came last.
        QVERIFY(layoutRepeats > 1);
        QCOMPARE(std::get<0>(last), AtariPrint::Stage::Paint);
        QVERIFY(std::get<1>(last) >= 3);
        QCOMPARE(std::get<1>(last), std::get<2>(last));
    }

    // The print job lays out and paints on a thread of its own: start()
    // returns at once, its steps follow the print's stages, and a cancel or
    // a logout leaves the PDF file as it was and says nothing.
    void printJob_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("printed") << QStringLiteral("print");
        QTest::newRow("cancelled") << QStringLiteral("cancel");
        QTest::newRow("logout") << QStringLiteral("SIGTERM");
    }
    void printJob()
    {
        QFETCH(QString, how);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("当たり.pdf"));
        QFile earlier(path);
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("%PDF-1.4 earlier") == 16);
        earlier.close();
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        AtariPrintContent content = cards(3);
        content.rows[1].strSyouhin = pagesOfGoods();
        const platform::StopRequestWatcher watcher([] {});
        if (how == u"SIGTERM")
            QCOMPARE(std::raise(SIGTERM), 0);

        PrintJob job;
        QSignalSpy steps(&job, &Job::stepStarted);
        QSignalSpy progressed(&job, &Job::progressed);
        QSignalSpy finished(&job, &Job::finished);
        job.start(std::move(printer), content);
        QVERIFY(job.isRunning());
        QCOMPARE(finished.size(), 0);
        if (how == u"cancel") {
            job.cancel();
            QCOMPARE(finished.size(), 1);
            QThreadPool::globalInstance()->waitForDone();
            QCoreApplication::processEvents();
            QCOMPARE(finished.size(), 1);
        } else {
            QVERIFY(finished.wait());
        }
        QCOMPARE(job.outcome().words, QString());
        QVERIFY(job.outcome().ok());
        QCOMPARE(steps.first().first().toString(), QStringLiteral("印刷の準備をしています…"));
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        const QByteArray pdf = earlier.readAll();
        if (how == u"print") {
            QVERIFY(pdf.size() > 1000);
            QCOMPARE(steps.last().first().toString(), QStringLiteral("印刷しています…"));
            // The bar is full once every page is painted.
            QVERIFY(!progressed.isEmpty());
            QCOMPARE(progressed.last().at(0), progressed.last().at(1));
        } else {
            QCOMPARE(pdf, QByteArray("%PDF-1.4 earlier"));
        }
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList {QStringLiteral("当たり.pdf")});
    }

    // The list of won cards prints and saves through its jobs: on a logout
    // (the system asking the program to end) neither writes a file, and
    // nothing is said.
    void listWritesNothingOnLogout()
    {
        const testsupport::ProgramFolderFixture folder;
        testsupport::FakeServices fakes;
        const WinningData data = testsupport::makeWinningData(
            {testsupport::makeClass({QStringLiteral("73")}, {QStringLiteral("お年玉切手シート")})},
            QStringLiteral("年賀状"), QStringLiteral("令和8"));
        AtariBook book(folder.path() + QStringLiteral("atari.db"));
        QCOMPARE(book.add(AtariDraw::of(data), QStringLiteral("100073"), 1, data.prizeClass(1).strSyouhin),
            AtariBook::Added::Added);
        const CheckRecord record;
        DataInForce inForce;
        inForce.setWinningData(data);
        frmAtariList list(book, record, inForce);
        const QString pdf = folder.path() + QStringLiteral("当たり.pdf");
        const QString csv = folder.path() + QStringLiteral("当たり.csv");
        fakes.printDialog.onSetUp = [&](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        };
        fakes.saveFileDialog.answer = csv;

        const platform::StopRequestWatcher watcher([] {});
        QCOMPARE(std::raise(SIGTERM), 0);
        QVERIFY(testsupport::waitForJob(
            list.findChild<PrintJob *>(), [&] { list.findChild<QPushButton *>(QStringLiteral("cmdPrint"))->click(); }));
        QVERIFY(testsupport::waitForJob(list.findChild<SaveJob *>(),
            [&] { list.findChild<QPushButton *>(QStringLiteral("cmdSaveCsv"))->click(); }));

        QCOMPARE(fakes.printDialog.shown, 1);
        QCOMPARE(fakes.saveFileDialog.asked.size(), 1);
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(!QFile::exists(csv));
        QVERIFY(fakes.messageBox.shown.isEmpty());
    }

    // Printing to a PDF file on a full disk says so and leaves the earlier file.
    void pdfOnAFullDisk()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("当たり.pdf"));
        QFile earlier(path);
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("%PDF-1.4 earlier") == 16);
        earlier.close();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        AtariPrintContent content;
        content.rows.append({3, QStringLiteral("****73"), QStringLiteral("３等"), QStringLiteral("お年玉切手シート")});

        const QString message
            = testsupport::inChildWithFileLimit(1000, [&] { return AtariPrint::print(printer, content).words; });

        QVERIFY2(message.startsWith(QStringLiteral("印刷できませんでした。\r\nファイル \"") + path
                     + QStringLiteral("\" に書き込めません。\r\nディスクの空きがありません（")),
            qPrintable(message));
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        QCOMPARE(earlier.readAll(), QByteArray("%PDF-1.4 earlier"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList {QStringLiteral("当たり.pdf")});
    }
};

QTEST_MAIN(tst_AtariPrint)
#include "tst_atariprint.moc"
