#include "ui/AtariPrint.h"

#include "platform/filewrite.h"
#include "ui/Fonts.h"
#include "ui/Look.h"

#include <QBuffer>
#include <QDir>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace {

const QString OrderHeading = QStringLiteral("順番");
const QString NumberHeading = QStringLiteral("番号");
const QString ResultHeading = QStringLiteral("等級");
const QString SyouhinHeading = QStringLiteral("賞品");

QFont gothic(qreal pointSize, bool bold = false)
{
    // The printed list keeps its own sizes, whatever size the windows show.
    QFont font = Fonts::atDesignedSize(Fonts::PGothic, pointSize);
    font.setBold(bold);
    return font;
}

constexpr int GoodsFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

} // namespace

AtariPrint::AtariPrint(AtariPrintContent content, const QPaintDevice &device, const QRectF &pageRect)
    : m_content(std::move(content))
    , m_page(pageRect)
    , m_device(device)
    , m_dpi(device.logicalDpiY())
    , m_titleFont(gothic(16, true))
    , m_textFont(gothic(11))
    , m_headingFont(gothic(10, true))
    , m_tableFont(gothic(10))
    , m_smallFont(gothic(9))
{
    m_padding = mm(0.8);
    const QFontMetricsF table(m_tableFont, &m_device);
    const QFontMetricsF heading(m_headingFont, &m_device);
    const auto columnWidth = [&](const QString &widest, const QString &title) {
        return std::max(table.horizontalAdvance(widest), heading.horizontalAdvance(title)) + 2 * m_padding + mm(2);
    };
    m_columns[0] = m_page.left();
    m_columns[1] = m_columns[0] + columnWidth(QStringLiteral("00000"), OrderHeading);
    m_columns[2] = m_columns[1] + columnWidth(QStringLiteral("000000"), NumberHeading);
    m_columns[3] = m_columns[2] + columnWidth(QStringLiteral("はずれ"), ResultHeading);
    m_columns[4] = m_page.right();

    // Title, card type and year, deadline; then the table; the date printed at the foot.
    qreal top = m_page.top() + QFontMetricsF(m_titleFont, &m_device).height() + mm(3);
    top += QFontMetricsF(m_textFont, &m_device).lineSpacing();
    if (!m_content.kigen.text.isEmpty())
        top += QFontMetricsF(m_textFont, &m_device).lineSpacing();
    m_tableTop = top + mm(4);
    const qreal headingHeight = heading.height() + 2 * m_padding;
    m_rowsBottom = m_page.bottom() - QFontMetricsF(m_smallFont, &m_device).height() - mm(4);
    const qreal rowsTop = m_tableTop + headingHeight;
    const qreal totalsHeight = mm(3) + QFontMetricsF(m_textFont, &m_device).height();

    Page page;
    qreal y = rowsTop;
    for (qsizetype i = 0; i < m_content.rows.size(); ++i) {
        const qreal height = rowHeight(m_content.rows.at(i));
        // A row taller than a whole page still gets a page of its own.
        if (page.count == MaxRowsPerPage || (page.count > 0 && y + height > m_rowsBottom)) {
            m_pages.append(page);
            page = Page {i, 0};
            y = rowsTop;
        }
        ++page.count;
        y += height;
    }
    // The totals stay under the last card, on a page of their own if need be.
    if (page.count > 0 && y + totalsHeight > m_rowsBottom) {
        m_pages.append(page);
        page = Page {m_content.rows.size(), 0};
    }
    m_pages.append(page);
}

qreal AtariPrint::rowHeight(const AtariList::Row &row) const
{
    const QFontMetricsF table(m_tableFont, &m_device);
    const qreal width = m_columns[4] - m_columns[3] - 2 * m_padding;
    const qreal goods = table.boundingRect(QRectF(0, 0, width, 1e6), GoodsFlags, row.strSyouhin).height();
    return std::max(table.height(), goods) + 2 * m_padding;
}

void AtariPrint::paintPage(QPainter &painter, int page) const
{
    const Page &rows = m_pages.at(page);
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
    const QFontMetricsF heading(m_headingFont, &m_device);
    const qreal headingHeight = heading.height() + 2 * m_padding;
    y = m_tableTop;
    const QRectF band(m_columns[0], y, m_columns[4] - m_columns[0], headingHeight);
    painter.fillRect(band, QColor(Look::ButtonBackground));
    painter.setFont(m_headingFont);
    const auto cell = [&](int column, qreal top, qreal height) {
        return QRectF(m_columns[column] + m_padding, top + m_padding,
            m_columns[column + 1] - m_columns[column] - 2 * m_padding, height - 2 * m_padding);
    };
    const QStringList headings {OrderHeading, NumberHeading, ResultHeading, SyouhinHeading};
    for (int column = 0; column < 4; ++column)
        painter.drawText(cell(column, y, headingHeight),
            column < 3 ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter, headings.at(column));
    y += headingHeight;

    QPen rule(QColor(0x808080));
    rule.setWidthF(mm(0.2));
    painter.setFont(m_tableFont);
    for (qsizetype i = rows.first; i < rows.first + rows.count; ++i) {
        const AtariList::Row &row = m_content.rows.at(i);
        const qreal height = rowHeight(row);
        painter.drawText(cell(0, y, height), Qt::AlignRight | Qt::AlignTop, QString::number(row.intOrder));
        painter.drawText(cell(1, y, height), Qt::AlignHCenter | Qt::AlignTop, row.strNumber);
        painter.drawText(cell(2, y, height), Qt::AlignHCenter | Qt::AlignTop, row.strResult);
        painter.drawText(cell(3, y, height), GoodsFlags, row.strSyouhin);
        y += height;
        painter.save();
        painter.setPen(rule);
        painter.drawLine(QPointF(m_columns[0], y), QPointF(m_columns[4], y));
        painter.restore();
    }

    if (last) {
        painter.setFont(m_textFont);
        y += mm(3);
        painter.drawText(
            QRectF(m_page.left(), y, m_page.width(), line), Qt::AlignLeft | Qt::AlignTop, m_content.strTotals);
    }

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

// Paints the pages of layout that printer was set up for (all unless a range
// was chosen) onto device: the printer itself, or a PDF file being made.
bool paintPages(const AtariPrint &layout, const QPrinter &printer, QPagedPaintDevice &device)
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
        return false;
    for (int p = from; p <= to; ++p) {
        if (p != from)
            device.newPage();
        layout.paintPage(painter, p - 1);
    }
    return painter.end();
}

} // namespace

QString AtariPrint::print(QPrinter &printer, const AtariPrintContent &content)
{
    const QRectF page(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    const AtariPrint layout(content, printer, page);
    const QString failure = QStringLiteral("印刷できませんでした。");
    if (printer.outputFormat() != QPrinter::PdfFormat) {
        const bool printed = paintPages(layout, printer, printer);
        return printed && printer.printerState() != QPrinter::Error ? QString() : failure;
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
        if (!paintPages(layout, printer, writer))
            return failure;
    }
    const QString path = printer.outputFileName();
    const QString reason = platform::replaceFile(path, pdf.data());
    if (reason.isEmpty())
        return {};
    return failure + modNengajo::CrLf + QStringLiteral("ファイル \"") + QDir::toNativeSeparators(path)
        + QStringLiteral("\" に書き込めません。") + modNengajo::CrLf + reason;
}
