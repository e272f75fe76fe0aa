#pragma once

#include "core/AtariList.h"
#include "core/Kigen.h"
#include "core/Outcome.h"

#include <QDate>
#include <QFont>
#include <QList>
#include <QRectF>

#include <array>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

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
// Each text is laid out once, so a print takes as long as what it prints.
class AtariPrint
{
public:
    static constexpr int MaxRowsPerPage = 20;
    static constexpr qreal MinTablePoints = 12;
    static inline const QString Title = QStringLiteral("当たったはがきの一覧");

    // How far a print has come: the cards laid out, then the pages painted
    // (done of total, told again while long goods are laid out). The print
    // stops when it returns false.
    enum class Stage { Layout, Paint };
    using Progress = std::function<bool(Stage stage, qsizetype done, qsizetype total)>;

    // Lays content out on pages of pageRect (in device's pixels); stops where
    // progress says so, and is then incomplete.
    AtariPrint(
        AtariPrintContent content, const QPaintDevice &device, const QRectF &pageRect, const Progress &progress = {});
    ~AtariPrint();

    bool isComplete() const { return m_complete; }
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    // Paints page (from 0) with painter, which is active on the device.
    void paintPage(QPainter &painter, int page) const;

    // Paints the pages the printer was set up for (all unless a range was
    // chosen); a failure is told with the file and the reason for a PDF file.
    // Stopped by progress, it prints nothing (a PDF file is left as it was)
    // and counts as done.
    static Outcome<> print(QPrinter &printer, const AtariPrintContent &content, const Progress &progress = {});

private:
    // The part of one card's row on a page: lines firstLine.. of its goods.
    struct Slice
    {
        qsizetype row = 0;
        int firstLine = 0;
        int lineCount = 1;
    };
    using Page = QList<Slice>;

    qreal mm(qreal millimetres) const { return millimetres * m_dpi / 25.4; }
    void setTableFont(qreal points);
    qreal headingHeight() const;
    qreal goodsWidth() const;
    // Lines of at most width; no more than maxLines of them. Null when goOn,
    // asked now and then, says to stop.
    std::unique_ptr<QTextLayout> wrapped(const QString &text, const QFont &font, qreal width,
        int maxLines = std::numeric_limits<int>::max(), const std::function<bool()> &goOn = {}) const;
    // The lines goods take in the table's font, from 1 to MaxSizingLines.
    int sizingLines(const QString &goods) const;
    // The goods of every card in the table's font; false when progress stopped it.
    bool layOutGoods(const Progress &progress);
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
    // Each different goods laid out once; every card's row points at its own.
    std::vector<std::unique_ptr<QTextLayout>> m_goodsLayouts;
    QList<const QTextLayout *> m_rowGoods;
    // The sender as the cell shows it: cut short with "…" if need be.
    QStringList m_senders;
    std::unique_ptr<QTextLayout> m_totals;
    QList<Page> m_pages;
    bool m_complete = false;
};
