#pragma once

#include "core/AtariList.h"
#include "core/SaveJob.h"
#include "ui/PrintJob.h"

#include <QWidget>

class AtariBook;
class AtariListModel;
class BookAtariList;
class CheckRecord;
class DataInForce;
class QBoxLayout;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTableView;

// The list of the book's won cards of the data in force with their prizes
// and the exchange deadline, to take to the post office: marked as exchanged,
// the senders written in, saved as CSV or printed, the exchange deadline
// saved for the user's calendar. Modeless; it follows the
// book and the sitting's record as each card is judged, and the data in force
// (those the cards are judged against) as another file is put in force.
class frmAtariList : public QWidget
{
    Q_OBJECT

public:
    static inline const QString DeleteQuestion = QStringLiteral("選んだはがきを一覧から削除しますか？");

    // book, record and data outlive the window.
    frmAtariList(AtariBook &book, const CheckRecord &record, const DataInForce &data, QWidget *parent = nullptr);
    ~frmAtariList() override;

    // The heading from the winning data, the columns fitted to their goods, the totals.
    void refresh();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // The list going cancels the save it started.
    void hideEvent(QHideEvent *event) override;

private:
    // The fonts and the sizes from their metrics, at the text size in force.
    void applySizes();
    void refreshHeading();
    void refreshTotals();
    void fitColumns();
    void fitGoodsColumn();
    // The table's width with every column whole.
    int columnsWidth() const;
    void cmdSaveCsv_Click();
    void cmdPrint_Click();
    // Saves the exchange deadline of the draw as an iCalendar file.
    void cmdCalendar_Click();
    // Whether the calendar has anything to hold: an exchange period not yet
    // ended, and a card of the draw left to exchange.
    bool calendarOpen() const;
    // The file to save to, chosen by the user: the dialog starts where the
    // last file was saved in this run, else in the user's documents.
    QString choosePath(const QString &title, const QString &fileName, const QString &filter, const QString &suffix);
    // Says why a save or a print failed; nothing when it did not.
    void tellFailure(const QString &failure);
    // Shows the progress of job, which starts now, and hears its end.
    void follow(Job &job, void (frmAtariList::*finished)());
    void saveFinished();
    void printFinished();
    void cmdDelete_Click();
    // The sender's cell of row, opened for typing.
    void editSender(int row);
    QList<qsizetype> selectedRows() const;
    // 引換 and 削除 for the cards selected now, カレンダーに登録 for the cards left to exchange.
    void refreshButtons();

    const WinningData &m_data;
    BookAtariList *m_source = nullptr;
    AtariListModel *m_model = nullptr;
    QLabel *lblAtariType = nullptr;
    QLabel *lblAtariKigen = nullptr;
    QTableView *lstAtari = nullptr;
    QLabel *lblAtariGoukei = nullptr;
    QCheckBox *chkAll = nullptr;
    QPushButton *cmdKoukan = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdSaveCsv = nullptr;
    QPushButton *cmdPrint = nullptr;
    QPushButton *cmdCalendar = nullptr;
    QPushButton *cmdClose = nullptr;
    QBoxLayout *m_buttons = nullptr;
    QHBoxLayout *m_cardButtons = nullptr;
    QHBoxLayout *m_listButtons = nullptr;
    // What the goods column needs for the longest goods of the data.
    int m_goodsWidth = 0;
    // The room a cell's text needs beside it.
    int m_goodsMargin = 0;
    // Where the last list was saved in this run; the next save starts there.
    QString m_saveFolder;
    // The CSV or calendar file being saved, the list being printed: one at a time.
    SaveJob m_save {this};
    PrintJob m_print {this};
};
