#pragma once

#include "core/AtariList.h"

#include <QWidget>

class AtariListModel;
class CheckRecord;
class SittingAtariList;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

// The list of the sitting's won cards with their prizes and the exchange
// deadline, to take to the post office: saved as CSV or printed. Modeless; it
// follows the record of the sitting as each card is judged, and shows the
// winning data it is given (those the cards are judged against).
class frmAtariList : public QWidget
{
    Q_OBJECT

public:
    // record and data outlive the window.
    frmAtariList(const CheckRecord &record, const WinningData &data, QWidget *parent = nullptr);
    ~frmAtariList() override;

    // The heading from the winning data, the columns fitted to their goods, the totals.
    void refresh();

    // The cards the table shows: the won ones, or all with "はずれも表示".
    QList<AtariList::Row> shownRows() const;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void refreshHeading();
    void refreshTotals();
    void model_rowsInserted();
    void fitColumns();
    void fitGoodsColumn();
    // The table's width with every column whole.
    int columnsWidth() const;
    void cmdSaveCsv_Click();
    void cmdPrint_Click();

    const WinningData &m_data;
    SittingAtariList *m_source = nullptr;
    AtariListModel *m_model = nullptr;
    QLabel *lblAtariType = nullptr;
    QLabel *lblAtariKigen = nullptr;
    QTableView *lstAtari = nullptr;
    QLabel *lblAtariGoukei = nullptr;
    QCheckBox *chkAll = nullptr;
    QPushButton *cmdSaveCsv = nullptr;
    QPushButton *cmdPrint = nullptr;
    QPushButton *cmdClose = nullptr;
    // What the goods column needs for the longest goods of the data.
    int m_goodsWidth = 0;
    // Where the last list was saved in this run; the next save starts there.
    QString m_saveFolder;
};
