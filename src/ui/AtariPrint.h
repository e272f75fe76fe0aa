#pragma once

#include "core/AtariList.h"
#include "core/Kigen.h"

#include <QDate>
#include <QFont>
#include <QList>
#include <QRectF>

class QPainter;
class QPaintDevice;
class QPrinter;

// What the printed list of won cards shows.
struct AtariPrintContent
{
    QString strTypeYear;
    KigenLine kigen;
    QList<AtariList::Row> rows;
    QString strTotals;
    QDate printed;
};

// The printed list: one page per up to MaxRowsPerPage cards, each page with
// the title, the card type and year, the deadline, the table's heading and the
// date printed; the totals under the last card. Long goods wrap in their
// cell, so a page may hold fewer cards.
class AtariPrint
{
public:
    static constexpr int MaxRowsPerPage = 40;
    static inline const QString Title = QStringLiteral("当たったはがきの一覧");

    // Lays content out on pages of pageRect (in device's pixels).
    AtariPrint(AtariPrintContent content, const QPaintDevice &device, const QRectF &pageRect);

    int pageCount() const { return static_cast<int>(m_pages.size()); }
    // Paints page (from 0) with painter, which is active on the device.
    void paintPage(QPainter &painter, int page) const;

    // Paints the pages the printer was set up for (all unless a range was
    // chosen). Empty text on success, else the message that tells the failure
    // (for a PDF file, with the file and the reason).
    static QString print(QPrinter &printer, const AtariPrintContent &content);

private:
    struct Page
    {
        qsizetype first = 0;
        qsizetype count = 0;
    };

    qreal mm(qreal millimetres) const { return millimetres * m_dpi / 25.4; }
    qreal rowHeight(const AtariList::Row &row) const;

    AtariPrintContent m_content;
    QRectF m_page;
    const QPaintDevice &m_device;
    qreal m_dpi;
    QFont m_titleFont;
    QFont m_textFont;
    QFont m_headingFont;
    QFont m_tableFont;
    QFont m_smallFont;
    // Left edges of the columns 順番, 番号, 等級, 賞品, and the right edge.
    std::array<qreal, 5> m_columns {};
    qreal m_padding;
    qreal m_tableTop;
    qreal m_rowsBottom;
    QList<Page> m_pages;
};
