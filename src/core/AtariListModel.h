#pragma once

#include "core/AtariList.h"

#include <QAbstractTableModel>
#include <QList>
#include <QObject>

#include <array>

class BookAtariList;

// The columns a list of won cards can show.
enum class AtariColumn {
    Order, // 順番: the card's place in the list
    Number, // 番号: as typed
    Result, // 等級: the class won, or はずれ
    Syouhin, // 賞品: the goods on one line
    Koukan, // 引換: "済" once exchanged
    Sender, // 差出人: as the user wrote it
};

// The columns' headings in their order, as the print has them too.
inline const std::array<QString, 6> AtariColumnTitles {QStringLiteral("順番"), QStringLiteral("番号"),
    QStringLiteral("等級"), QStringLiteral("賞品"), QStringLiteral("引換"), QStringLiteral("差出人")};

// The table of a list of won cards over its rows; linked with Qt Core only,
// so it holds no colours: a lost card's row answers LostRole and the window
// shows it standing back in its palette's colours.
class AtariListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int LostRole = Qt::UserRole + 1;

    explicit AtariListModel(BookAtariList &rows, QObject *parent = nullptr);

    // The column shown in section, left to right.
    AtariColumn column(int section) const { return AtariColumn(section); }
    // The section that shows column.
    int section(AtariColumn column) const { return int(column); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    void source_rowsAppended(qsizetype first, qsizetype last);

    BookAtariList &m_source;
    // The rows as far as the model has announced them to its views.
    int m_rowCount = 0;
};
