#include "testsupport.h"

#include "ui/AtariPrint.h"
#include "ui/Fonts.h"

#include <QFile>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <map>

namespace {

// An A4 page at 300 dpi that keeps the texts painted on it with their
// positions: a printed page is read back as its lines of text.
class TextPage final : public QImage
{
public:
    TextPage()
        : QImage(2480, 3508, QImage::Format_ARGB32)
    {
        setDotsPerMeterX(11811);
        setDotsPerMeterY(11811);
    }
    QPaintEngine *paintEngine() const override { return &m_engine; }

    // Lines from top to bottom, each line's texts from left to right, joined.
    QStringList lines() const
    {
        std::map<int, std::map<qreal, QString>> byLine;
        for (const auto &[position, text] : m_engine.texts)
            byLine[qRound(position.y())][position.x()] += text;
        QStringList result;
        for (const auto &[y, texts] : byLine) {
            result.append(QString());
            for (const auto &[x, text] : texts)
                result.last() += text;
        }
        return result;
    }

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
        void drawTextItem(const QPointF &p, const QTextItem &textItem) override { texts.append({p, textItem.text()}); }
        Type type() const override { return User; }
        QList<std::pair<QPointF, QString>> texts;
    };
    mutable Engine m_engine;
};

} // namespace

// The printed list of won cards: its pages, and the print's outcome.
class tst_AtariPrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Fonts::installSubstitutions(); }

    // 45 won cards: the first page holds 40 of them, the second the rest and
    // the totals; every page has the title, the card type and year, the
    // deadline and the date printed.
    void printedPages()
    {
        AtariPrintContent content;
        content.strTypeYear = QStringLiteral("【年賀状 令和8年度】");
        content.kigen = {QStringLiteral("賞品の引換は2026年7月21日まで（あと177日）"), false};
        for (int i = 1; i <= 45; ++i)
            content.rows.append(
                {i, QString::number(100000 + i), QStringLiteral("３等"), QStringLiteral("お年玉切手シート")});
        content.rows[1].strSyouhin = QStringLiteral("現金30万円／切手集と現金20万円（いずれか1点）");
        content.strTotals = QStringLiteral("３等 45枚　合計 45枚");
        content.printed = QDate(2026, 1, 25);

        // A4 inside the margins of 15 mm the list is printed with.
        const TextPage paper;
        const qreal margin = 15 / 25.4 * 300;
        const AtariPrint layout(content, paper, QRectF(0, 0, paper.width() - 2 * margin, paper.height() - 2 * margin));
        QCOMPARE(layout.pageCount(), 2);
        QList<QStringList> pages;
        for (int page = 0; page < layout.pageCount(); ++page) {
            TextPage sheet;
            QPainter painter(&sheet);
            layout.paintPage(painter, page);
            painter.end();
            pages.append(sheet.lines());
        }

        for (int page = 0; page < 2; ++page) {
            const QStringList &lines = pages.at(page);
            QCOMPARE(lines.mid(0, 4),
                (QStringList {"当たったはがきの一覧", content.strTypeYear, content.kigen.text, "順番番号等級賞品"}));
            QCOMPARE(lines.last(), QStringLiteral("印刷日：2026年1月25日%1 / 2").arg(page + 1));
        }
        const auto rowLine = [&](int i) {
            const AtariList::Row &row = content.rows.at(i - 1);
            return QString::number(i) + row.strNumber + row.strResult + row.strSyouhin;
        };
        QCOMPARE(pages.at(0).at(4), rowLine(1));
        QCOMPARE(pages.at(0).at(5), rowLine(2));
        QCOMPARE(pages.at(0).at(4 + 39), rowLine(40));
        QCOMPARE(pages.at(0).size(), 4 + 40 + 1);
        QCOMPARE(pages.at(1).at(4), rowLine(41));
        QCOMPARE(pages.at(1).at(8), rowLine(45));
        QCOMPARE(pages.at(1).at(9), content.strTotals);
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
            = testsupport::inChildWithFileLimit(1000, [&] { return AtariPrint::print(printer, content); });

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
