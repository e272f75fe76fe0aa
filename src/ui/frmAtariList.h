#pragma once

#include "core/AtariList.h"

#include <QWidget>

class CheckRecord;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

namespace AtariListDetail {
class Model;
}

// The list of the sitting's won cards with their prizes and the exchange
// deadline, to take to the post office: saved as CSV or printed. Modeless; it
// follows the record of the sitting as each card is judged.
class frmAtariList : public QWidget
{
    Q_OBJECT

public:
    explicit frmAtariList(const CheckRecord &record, QWidget *parent = nullptr);
    ~frmAtariList() override;

    // The heading from the data in force, the table and totals from the record.
    void refresh();

    // The cards the table shows: the won ones, or all with "はずれも表示".
    QList<AtariList::Row> shownRows() const;

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void refreshHeading();
    void refreshTotals();
    void record_cardAdded(qsizetype index);
    void chkAll_Toggled();
    void cmdSaveCsv_Click();
    void cmdPrint_Click();

    const CheckRecord &m_record;
    AtariListDetail::Model *m_model = nullptr;
    QLabel *lblAtariType = nullptr;
    QLabel *lblAtariKigen = nullptr;
    QTableView *lstAtari = nullptr;
    QLabel *lblAtariGoukei = nullptr;
    QCheckBox *chkAll = nullptr;
    QPushButton *cmdSaveCsv = nullptr;
    QPushButton *cmdPrint = nullptr;
    QPushButton *cmdClose = nullptr;
    // Where the last list was saved in this run; the next save starts there.
    QString m_saveFolder;
};
