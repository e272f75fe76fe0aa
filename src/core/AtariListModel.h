#pragma once

#include "core/AtariList.h"

#include <QAbstractTableModel>
#include <QList>
#include <QObject>

// The columns a list of won cards can show.
enum class AtariColumn {
    Order, // 順番: the card's place in the list
    Number, // 番号: as typed
    Result, // 等級: the class won, or はずれ
    Syouhin, // 賞品: the goods on one line
    Koukan, // 引換: "済" once exchanged
    Sender, // 差出人: as the user wrote it
};

// A column's heading, as the print has it: "順番", "番号", "等級", "賞品", "引換", "差出人".
QString AtariColumnTitle(AtariColumn column);

// Where a list of won cards takes its rows, in the order shown (from 0). The
// sitting's record is one source (SittingAtariList); a book of won cards kept
// from sitting to sitting can be another, with columns of its own and a
// column the user types into: it adds them to AtariColumn and to the row, and
// answers columns(), isEditable() and setText(); the model stays as it is.
class AtariListSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The columns shown, left to right: 順番, 番号, 等級, 賞品 unless the source says otherwise.
    virtual QList<AtariColumn> columns() const;
    virtual qsizetype rowCount() const = 0;
    virtual AtariList::Row row(qsizetype index) const = 0;
    // The line under the table: the hits per class and in all.
    virtual QString totalsText() const = 0;
    // A column the user may type into, and the text typed into one of its
    // rows: false when the source does not keep it (none does by default).
    virtual bool isEditable(AtariColumn column) const;
    // The same for one row: isEditable(column) unless the source says otherwise.
    virtual bool isEditableAt(qsizetype index, AtariColumn column) const;
    virtual bool setText(qsizetype index, AtariColumn column, const QString &text);

    // Every row in order: what is saved as CSV and printed.
    QList<AtariList::Row> rows() const;

signals:
    // Rows first to last were added at the end.
    void rowsAppended(qsizetype first, qsizetype last);
    // Rows first to last show other texts now.
    void rowsChanged(qsizetype first, qsizetype last);
    // Anything may have changed, the columns too.
    void rowsReset();
};

// The table of a list of won cards over its source; linked with Qt Core only,
// so it holds no colours: a lost card's row answers LostRole and the window
// shows it standing back in its palette's colours.
class AtariListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int LostRole = Qt::UserRole + 1;

    explicit AtariListModel(AtariListSource &source, QObject *parent = nullptr);

    AtariListSource &source() const { return m_source; }
    // The column shown in section, left to right.
    AtariColumn column(int section) const { return m_columns.value(section); }
    // The section that shows column, or -1.
    int section(AtariColumn column) const { return static_cast<int>(m_columns.indexOf(column)); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    void source_rowsAppended(qsizetype first, qsizetype last);
    void source_rowsChanged(qsizetype first, qsizetype last);
    void source_rowsReset();

    AtariListSource &m_source;
    QList<AtariColumn> m_columns;
    // The rows as far as the model has announced them to its views.
    int m_rowCount = 0;
};
