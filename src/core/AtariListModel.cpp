#include "core/AtariListModel.h"

#include "core/BookAtariList.h"

namespace {

QString cellText(const AtariList::Row &row, AtariColumn column)
{
    switch (column) {
    case AtariColumn::Order:
        return QString::number(row.intOrder);
    case AtariColumn::Number:
        return row.strNumber;
    case AtariColumn::Result:
        return row.strResult;
    case AtariColumn::Syouhin:
        return row.strSyouhin;
    case AtariColumn::Koukan:
        return row.strKoukan;
    case AtariColumn::Sender:
        return row.strSender;
    }
    return {};
}

} // namespace

AtariListModel::AtariListModel(BookAtariList &rows, QObject *parent)
    : QAbstractTableModel(parent)
    , m_source(rows)
    , m_rowCount(static_cast<int>(rows.rowCount()))
{
    connect(&rows, &BookAtariList::rowsAppended, this, &AtariListModel::source_rowsAppended);
    connect(&rows, &BookAtariList::rowsChanged, this, [this](qsizetype first, qsizetype last) {
        emit dataChanged(index(static_cast<int>(first), 0), index(static_cast<int>(last), columnCount() - 1));
    });
    connect(&rows, &BookAtariList::rowsReset, this, [this] {
        beginResetModel();
        m_rowCount = static_cast<int>(m_source.rowCount());
        endResetModel();
    });
}

int AtariListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int AtariListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(AtariColumn::Sender) + 1;
}

QVariant AtariListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const AtariColumn shown = column(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::ToolTipRole:
        // Built when asked: a long list costs nothing until it is scrolled to.
        return cellText(m_source.row(index.row()), shown);
    case Qt::TextAlignmentRole:
        if (shown == AtariColumn::Order)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        if (shown == AtariColumn::Number || shown == AtariColumn::Result || shown == AtariColumn::Koukan)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    case LostRole:
        // A damaged row of the book is no loss: it stands with the won cards.
        return m_source.row(index.row()).intToukyu == 0;
    default:
        return {};
    }
}

QVariant AtariListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return {};
    return AtariColumnTitles.at(section);
}

Qt::ItemFlags AtariListModel::flags(const QModelIndex &index) const
{
    const bool editable = index.isValid() && m_source.isEditableAt(index.row(), column(index.column()));
    return QAbstractTableModel::flags(index) | (editable ? Qt::ItemIsEditable : Qt::NoItemFlags);
}

bool AtariListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    const AtariColumn edited = column(index.column());
    if (!m_source.isEditableAt(index.row(), edited) || !m_source.setText(index.row(), edited, value.toString()))
        return false;
    emit dataChanged(index, index);
    return true;
}

void AtariListModel::source_rowsAppended(qsizetype first, qsizetype last)
{
    beginInsertRows({}, static_cast<int>(first), static_cast<int>(last));
    m_rowCount = static_cast<int>(m_source.rowCount());
    endInsertRows();
}
