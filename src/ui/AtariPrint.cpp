#include "ui/AtariPrint.h"

#include "core/AtariListModel.h"
#include "core/FileErrorText.h"
#include "ui/Fonts.h"
#include "ui/Look.h"

#include <QBuffer>
#include <QDir>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <cmath>

namespace {

// The sender's column holds a name of this many characters; a longer one is cut short with "…".
const QString SenderWidest = QStringLiteral("あいうえお");

QFont gothic(qreal pointSize, bool bold = false)
{
    // The printed list keeps its own sizes, whatever size the windows show.
    return Fonts::atDesignedSize(Fonts::PGothic, pointSize, bold);
}

// The largest table text tried; the page decides below it.
constexpr qreal MaxTablePoints = 28;
// Goods longer than this many lines go on over pages instead of making the
// text of every page smaller.
constexpr int MaxSizingLines = 3;
// So many characters from the start of goods take more than MaxSizingLines
// lines of the goods' cell in any size tried, unless they are unusually narrow.
constexpr qsizetype SizingCharacters = 1000;
// A long text is laid out this many lines at a time between looks at the progress.
constexpr int LinesBetweenProgress = 64;
// Goods with a word this long or longer (a run without a place to break the
// line) are broken anywhere.
constexpr qsizetype LongestWord = 200;

// Whether text holds a run of LongestWord characters without a place to break
// the line. Qt 6.4 lays each line of such a run out by looking through the
// rest of the run, which takes time by the square of its length (a run of
// 100,000 letters took 1.7 s to lay out, against 0.06 s broken anywhere).
bool hasLongWord(const QString &text)
{
    if (text.size() < LongestWord)
        return false;
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    qsizetype last = 0;
    for (qsizetype at = breaks.toNextBoundary(); at >= 0; at = breaks.toNextBoundary()) {
        if (at - last >= LongestWord)
            return true;
        last = at;
    }
    return false;
}
// The card's place, number, class, mark and sender keep at most this share of the width.
constexpr qreal MaxFixedColumnsShare = 0.7;

} // namespace

AtariPrint::AtariPrint(
    AtariPrintContent content, const QPaintDevice &device, const QRectF &pageRect, const Progress &progress)
    : m_content(std::move(content))
    , m_page(pageRect)
    , m_device(device)
    , m_dpi(device.logicalDpiY())
    , m_titleFont(gothic(22, true))
    , m_textFont(gothic(16))
    , m_smallFont(gothic(11))
{
    m_padding = mm(1);

    // Title, card type and year, deadline; then the table; the date printed at the foot.
    qreal top = m_page.top() + QFontMetricsF(m_titleFont, &m_device).height() + mm(3);
    top += QFontMetricsF(m_textFont, &m_device).lineSpacing();
    if (!m_content.kigen.text.isEmpty())
        top += QFontMetricsF(m_textFont, &m_device).lineSpacing();
    m_tableTop = top + mm(4);
    m_rowsBottom = m_page.bottom() - QFontMetricsF(m_smallFont, &m_device).height() - mm(4);

    // As large as a page of MaxRowsPerPage cards and the totals allows: the
    // first cards with their goods as they wrap (a choice of goods takes a few
    // lines), the rest of the page thought of as one-line cards.
    qreal points = MaxTablePoints;
    for (; points > MinTablePoints; points -= 0.5) {
        setTableFont(points);
        qreal needed = headingHeight() + mm(3)
            + wrapped(m_content.strTotals, m_tableFont, m_page.width())->boundingRect().height();
        // Cards of one class share their goods: each text is measured once a size.
        QHash<QString, int> sizingLinesOf;
        for (qsizetype i = 0; i < MaxRowsPerPage; ++i) {
            int lines = 1;
            if (i < m_content.rows.size()) {
                const QString &goods = m_content.rows.at(i).strSyouhin;
                auto found = sizingLinesOf.constFind(goods);
                if (found == sizingLinesOf.cend())
                    found = sizingLinesOf.insert(goods, sizingLines(goods));
                lines = *found;
            }
            needed += lines * m_lineHeight + 2 * m_padding;
        }
        const qreal fixed = m_columns[3] - m_columns[0] + m_columns[6] - m_columns[4];
        if (m_tableTop + needed <= m_rowsBottom && fixed <= MaxFixedColumnsShare * m_page.width())
            break;
    }
    setTableFont(std::max(points, MinTablePoints));
    m_totals = wrapped(m_content.strTotals, m_tableFont, m_page.width());
    if (!layOutGoods(progress))
        return;
    paginate();
    m_complete = true;
}

AtariPrint::~AtariPrint() = default;

void AtariPrint::setTableFont(qreal points)
{
    m_tableFont = gothic(points);
    m_headingFont = gothic(points, true);
    const QFontMetricsF table(m_tableFont, &m_device);
    const QFontMetricsF heading(m_headingFont, &m_device);
    m_lineHeight = table.height();
    const auto columnWidth = [&](const QString &widest, const QString &title) {
        return std::max(table.horizontalAdvance(widest), heading.horizontalAdvance(title)) + 2 * m_padding + mm(2);
    };
    m_columns[0] = m_page.left();
    m_columns[1] = m_columns[0] + columnWidth(QStringLiteral("00000"), AtariColumnTitles[0]);
    m_columns[2] = m_columns[1] + columnWidth(QStringLiteral("000000"), AtariColumnTitles[1]);
    m_columns[3] = m_columns[2] + columnWidth(QStringLiteral("はずれ"), AtariColumnTitles[2]);
    m_columns[6] = m_page.right();
    m_columns[5] = m_columns[6] - columnWidth(SenderWidest, AtariColumnTitles[5]);
    m_columns[4] = m_columns[5] - columnWidth(QStringLiteral("済"), AtariColumnTitles[4]);
}

qreal AtariPrint::headingHeight() const
{
    return QFontMetricsF(m_headingFont, &m_device).height() + 2 * m_padding;
}

qreal AtariPrint::goodsWidth() const
{
    return m_columns[4] - m_columns[3] - 2 * m_padding;
}

std::unique_ptr<QTextLayout> AtariPrint::wrapped(
    const QString &text, const QFont &font, qreal width, int maxLines, const std::function<bool()> &goOn) const
{
    auto layout = std::make_unique<QTextLayout>(text, font, &m_device);
    QTextOption option;
    // Goods are Japanese without spaces, or a long run of anything.
    option.setWrapMode(hasLongWord(text) ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    const qreal lineHeight = QFontMetricsF(font, &m_device).height();
    layout->beginLayout();
    for (int i = 0; i < maxLines; ++i) {
        if (goOn && i % LinesBetweenProgress == LinesBetweenProgress - 1 && !goOn()) {
            layout->endLayout();
            return nullptr;
        }
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        line.setPosition(QPointF(0, i * lineHeight));
    }
    layout->endLayout();
    return layout;
}

int AtariPrint::sizingLines(const QString &goods) const
{
    // Only up to MaxSizingLines lines count: the beginning of long goods
    // tells as much, however long they are.
    int lines = wrapped(goods.left(SizingCharacters), m_tableFont, goodsWidth(), MaxSizingLines + 1)->lineCount();
    if (lines <= MaxSizingLines && goods.size() > SizingCharacters)
        lines = wrapped(goods, m_tableFont, goodsWidth(), MaxSizingLines + 1)->lineCount();
    return std::clamp(lines, 1, MaxSizingLines);
}

bool AtariPrint::layOutGoods(const Progress &progress)
{
    const qsizetype rows = m_content.rows.size();
    QHash<QString, const QTextLayout *> byText;
    for (qsizetype i = 0; i < rows; ++i) {
        const auto goOn = [&] { return !progress || progress(Stage::Layout, i, rows); };
        if (!goOn())
            return false;
        const AtariList::Row &row = m_content.rows.at(i);
        auto found = byText.constFind(row.strSyouhin);
        if (found == byText.cend()) {
            std::unique_ptr<QTextLayout> layout
                = wrapped(row.strSyouhin, m_tableFont, goodsWidth(), std::numeric_limits<int>::max(), goOn);
            if (!layout)
                return false;
            found = byText.insert(row.strSyouhin, layout.get());
            m_goodsLayouts.push_back(std::move(layout));
        }
        m_rowGoods.append(*found);
        m_senders.append(QFontMetricsF(m_tableFont, &m_device)
                             .elidedText(row.strSender, Qt::ElideRight, m_columns[6] - m_columns[5] - 2 * m_padding));
    }
    return !progress || progress(Stage::Layout, rows, rows);
}

void AtariPrint::paginate()
{
    const qreal rowsTop = m_tableTop + headingHeight();
    const qreal linesPerPage = std::max<qreal>(1, std::floor((m_rowsBottom - rowsTop - 2 * m_padding) / m_lineHeight));
    const auto height = [this](int lines) { return lines * m_lineHeight + 2 * m_padding; };

    Page page;
    qreal y = rowsTop;
    const auto nextPage = [&] {
        m_pages.append(page);
        page.clear();
        y = rowsTop;
    };
    for (qsizetype i = 0; i < m_content.rows.size(); ++i) {
        const int lines = std::max(1, m_rowGoods.at(i)->lineCount());
        // A card that fits on a page is never split; a longer one starts on a
        // page of its own and goes on over the following pages.
        if (!page.isEmpty()
            && (page.size() == MaxRowsPerPage || y + height(std::min<qreal>(lines, linesPerPage)) > m_rowsBottom))
            nextPage();
        for (int first = 0; first < lines;) {
            const int count = std::min(lines - first, static_cast<int>(linesPerPage));
            page.append({i, first, count});
            y += height(count);
            first += count;
            if (first < lines)
                nextPage();
        }
    }
    // The totals stay under the last card, on a page of their own if need be.
    if (!page.isEmpty() && y + mm(3) + m_totals->boundingRect().height() > m_rowsBottom)
        nextPage();
    m_pages.append(page);
}

void AtariPrint::paintPage(QPainter &painter, int page) const
{
    const bool last = page == pageCount() - 1;
    painter.save();
    painter.setPen(Qt::black);

    qreal y = m_page.top();
    painter.setFont(m_titleFont);
    const qreal titleHeight = QFontMetricsF(m_titleFont, &m_device).height();
    painter.drawText(QRectF(m_page.left(), y, m_page.width(), titleHeight), Qt::AlignLeft | Qt::AlignTop, Title);
    y += titleHeight + mm(3);

    painter.setFont(m_textFont);
    const qreal line = QFontMetricsF(m_textFont, &m_device).lineSpacing();
    painter.drawText(
        QRectF(m_page.left(), y, m_page.width(), line), Qt::AlignLeft | Qt::AlignTop, m_content.strTypeYear);
    y += line;
    if (!m_content.kigen.text.isEmpty()) {
        painter.setPen(m_content.kigen.urgent ? QColor(Look::Urgent) : QColor(Qt::black));
        painter.drawText(
            QRectF(m_page.left(), y, m_page.width(), line), Qt::AlignLeft | Qt::AlignTop, m_content.kigen.text);
        painter.setPen(Qt::black);
    }

    // The table's heading on a grey band, each card's row under a thin rule.
    y = m_tableTop;
    const QRectF band(m_columns[0], y, m_columns[6] - m_columns[0], headingHeight());
    painter.fillRect(band, QColor(Look::ButtonBackground));
    painter.setFont(m_headingFont);
    const auto cell = [&](int column, qreal top, qreal height) {
        return QRectF(m_columns[column] + m_padding, top + m_padding,
            m_columns[column + 1] - m_columns[column] - 2 * m_padding, height - 2 * m_padding);
    };
    for (int column = 0; column < 6; ++column)
        painter.drawText(cell(column, y, headingHeight()),
            column == 3 || column == 5 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter, AtariColumnTitles[column]);
    y += headingHeight();

    QPen rule(QColor(0x808080));
    rule.setWidthF(mm(0.2));
    painter.setFont(m_tableFont);
    for (const Slice &slice : m_pages.at(page)) {
        const AtariList::Row &row = m_content.rows.at(slice.row);
        const qreal height = slice.lineCount * m_lineHeight + 2 * m_padding;
        // A card that goes on from the page before names itself again.
        painter.drawText(cell(0, y, height), Qt::AlignRight | Qt::AlignTop, QString::number(row.intOrder));
        painter.drawText(cell(1, y, height), Qt::AlignHCenter | Qt::AlignTop, row.strNumber);
        painter.drawText(cell(2, y, height), Qt::AlignHCenter | Qt::AlignTop, row.strResult);
        const QTextLayout *goods = m_rowGoods.at(slice.row);
        const QRectF goodsCell = cell(3, y, height);
        for (int i = slice.firstLine; i < slice.firstLine + slice.lineCount && i < goods->lineCount(); ++i)
            goods->lineAt(i).draw(&painter, goodsCell.topLeft() - QPointF(0, slice.firstLine * m_lineHeight));
        painter.drawText(cell(4, y, height), Qt::AlignHCenter | Qt::AlignTop, row.strKoukan);
        painter.drawText(cell(5, y, height), Qt::AlignLeft | Qt::AlignTop, m_senders.at(slice.row));
        y += height;
        painter.save();
        painter.setPen(rule);
        painter.drawLine(QPointF(m_columns[0], y), QPointF(m_columns[6], y));
        painter.restore();
    }

    if (last)
        m_totals->draw(&painter, QPointF(m_page.left(), y + mm(3)));

    painter.setFont(m_smallFont);
    const qreal footHeight = QFontMetricsF(m_smallFont, &m_device).height();
    const QRectF foot(m_page.left(), m_page.bottom() - footHeight, m_page.width(), footHeight);
    painter.drawText(foot, Qt::AlignLeft | Qt::AlignBottom,
        QStringLiteral("印刷日：") + modNengajo::JapaneseDate(m_content.printed));
    painter.drawText(foot, Qt::AlignRight | Qt::AlignBottom,
        QString::number(page + 1) + QStringLiteral(" / ") + QString::number(pageCount()));
    painter.restore();
}

namespace {

enum class Painted { All, Failed, Stopped };

// Paints the pages of layout that printer was set up for (all unless a range
// was chosen) onto device: the printer itself, or a PDF file being made.
Painted paintPages(
    const AtariPrint &layout, const QPrinter &printer, QPagedPaintDevice &device, const AtariPrint::Progress &progress)
{
    int from = printer.fromPage();
    int to = printer.toPage();
    if (from == 0) {
        from = 1;
        to = layout.pageCount();
    }
    to = std::min(to, layout.pageCount());

    QPainter painter;
    if (!painter.begin(&device))
        return Painted::Failed;
    // Told before each page and once all are painted.
    for (int p = from; p <= to + 1; ++p) {
        if (progress && !progress(AtariPrint::Stage::Paint, p - from, to - from + 1)) {
            // What a printer has been given so far goes nowhere.
            if (auto *printing = dynamic_cast<QPrinter *>(&device))
                printing->abort();
            painter.end();
            return Painted::Stopped;
        }
        if (p > to)
            break;
        if (p != from)
            device.newPage();
        layout.paintPage(painter, p - 1);
    }
    return painter.end() ? Painted::All : Painted::Failed;
}

} // namespace

Outcome<> AtariPrint::print(QPrinter &printer, const AtariPrintContent &content, const Progress &progress)
{
    const QRectF page(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    const AtariPrint layout(content, printer, page, progress);
    if (!layout.isComplete())
        return {};
    const QString failure = QStringLiteral("印刷できませんでした。");
    if (printer.outputFormat() != QPrinter::PdfFormat) {
        const Painted painted = paintPages(layout, printer, printer, progress);
        if (painted != Painted::Failed && printer.printerState() != QPrinter::Error)
            return {};
        return {Ended::Failed, failure};
    }

    // Qt's PDF output reports success whatever became of its writes: the file
    // is made in memory and written as every file the program writes is.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(printer.resolution());
        writer.setPageLayout(printer.pageLayout());
        writer.setTitle(printer.docName());
        writer.setCreator(printer.creator());
        switch (paintPages(layout, printer, writer, progress)) {
        case Painted::All:
            break;
        case Painted::Failed:
            return {Ended::Failed, failure};
        case Painted::Stopped:
            return {};
        }
    }
    const QString path = printer.outputFileName();
    const QString reason = FileErrorText::text(platform::writeFile(path, pdf.data()));
    if (reason.isEmpty())
        return {};
    return {Ended::Failed,
        failure + modNengajo::CrLf + QStringLiteral("ファイル \"") + QDir::toNativeSeparators(path)
            + QStringLiteral("\" に書き込めません。") + modNengajo::CrLf + reason};
}
