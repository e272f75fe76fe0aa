#pragma once

#include "core/AtariList.h"
#include "core/Kigen.h"

#include <QDate>
#include <QFont>
#include <QList>
#include <QRectF>

#include <array>
#include <memory>

class QPainter;
class QPaintDevice;
class QPrinter;
class QTextLayout;

// What the printed list of won cards shows.
struct AtariPrintContent
{
    QString strTypeYear;
    KigenLine kigen;
    QList<AtariList::Row> rows;
    QString strTotals;
    QDate printed;
};

// The printed list, read at arm's length: up to MaxRowsPerPage cards a page,
// each page with the title, the card type and year, the deadline, the table's
// heading and the date printed; the totals under the last card. The table's
// text and the totals are as large as a page of MaxRowsPerPage cards allows,
// never below MinTablePoints. Long goods wrap in their cell, so a page may
// hold fewer cards; goods longer than a page go on over the following pages.
class AtariPrint
{
public:
    static constexpr int MaxRowsPerPage = 20;
    static constexpr qreal MinTablePoints = 12;
    static inline const QString Title = QStringLiteral("当たったはがきの一覧");

    // Lays content out on pages of pageRect (in device's pixels).
    AtariPrint(AtariPrintContent content, const QPaintDevice &device, const QRectF &pageRect);
    ~AtariPrint();

    int pageCount() const { return static_cast<int>(m_pages.size()); }
    // Paints page (from 0) with painter, which is active on the device.
    void paintPage(QPainter &painter, int page) const;

    // Paints the pages the printer was set up for (all unless a range was
    // chosen). Empty text on success, else the message that tells the failure
    // (for a PDF file, with the file and the reason).
    static QString print(QPrinter &printer, const AtariPrintContent &content);

private:
    // The part of one card's row on a page: lines firstLine.. of its goods.
    struct Slice
    {
        qsizetype row = 0;
        int firstLine = 0;
        int lineCount = 1;
    };
    struct Page
    {
        QList<Slice> slices;
    };

    qreal mm(qreal millimetres) const { return millimetres * m_dpi / 25.4; }
    void setTableFont(qreal points);
    qreal headingHeight() const;
    qreal totalsHeight() const;
    std::unique_ptr<QTextLayout> wrapped(const QString &text, const QFont &font, qreal width) const;
    std::unique_ptr<QTextLayout> goodsLayout(const AtariList::Row &row) const;
    std::unique_ptr<QTextLayout> totalsLayout() const;
    void paginate();

    AtariPrintContent m_content;
    QRectF m_page;
    const QPaintDevice &m_device;
    qreal m_dpi;
    QFont m_titleFont;
    QFont m_textFont;
    QFont m_headingFont;
    QFont m_tableFont;
    QFont m_smallFont;
    qreal m_lineHeight = 0;
    // Left edges of the columns 順番, 番号, 等級, 賞品, 引換, 差出人, and the right edge.
    std::array<qreal, 7> m_columns {};
    qreal m_padding;
    qreal m_tableTop;
    qreal m_rowsBottom;
    QList<Page> m_pages;
};
