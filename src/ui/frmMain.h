#pragma once

#include "core/CardEntry.h"
#include "core/KigenReminder.h"
#include "core/ProgramState.h"

#include <QMainWindow>
#include <QPointer>

#include <array>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class frmAtariList;
class frmSyouhin;
class NewDataListJob;

// The main window: checking a card, the counters, the menu bar, start-up and shutdown.
//
// A card is checked in two stages: its last two digits in txtInputSimo2, and,
// when a longer winning number ends with them, its upper four digits in
// txtInputKami4. A complete entry is judged as soon as it stands in its box
// (CardEntry decides what it means); the window shows the outcome.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    // state outlives the window and every window it opens.
    explicit frmMain(ProgramState &state, QWidget *parent = nullptr);

    // The load handler: runs once before the window is first shown. Returns
    // false when the program must end at once (the XML component is missing).
    bool Form_Load();
    // Closes for a shutdown or logout: as the close box does, without a question.
    void closeForStop();

    // Shows the card type and year in force and exactly the rows of the loaded
    // classes, and the prize-exchange deadline of the data in force.
    void ShowTypeCaption();
    // Empties the entry, zeroes every counter and returns to the lower stage.
    void AllClear();
    // Confirms and starts the list fetch; the rest of the command follows
    // when it has ended (newDataListFetched).
    void mnuDownload_Click();
    // Enters a draw's numbers as a new data file, and puts it in force when the user asks.
    void mnuMakeData_Click();

    // Puts data/<fileName> in force as the chosen card type; false, after the
    // box that tells why, when it failed to load and nothing has changed.
    bool useDataFile(const QString &fileName);

    // The prize list window; when create is true and it does not exist it is
    // created hidden.
    frmSyouhin *Syouhin(bool create);

    // Once the window is on screen: the book and the reminder of the exchange
    // deadline (KigenReminder::startUp). showList: harovan --show-list.
    void remindAtStartUp(bool showList = false);
    // A later start of the program, handed over: this window comes forward
    // (a message of the start-up while it is not up yet, an open dialog); with
    // --show-list the list as a start with it shows it, once no dialog is open
    // and no card is half-entered.
    void laterStart(bool showList, const QString &activationToken);

    AtariBook &atariBook() { return m_state.book; }
    const CheckRecord &checkRecord() const { return m_state.record; }

protected:
    void closeEvent(QCloseEvent *event) override;
    // A data file dropped on the window is added as the card-type dialog's
    // ファイルから追加 adds it, and the dialog opens with it chosen.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createControls();
    void createMenus();
    // The fonts and the sizes from their metrics, at the text size in force.
    void applyTextSize();

    // What a complete entry in box means (CardEntry): an error, the upper
    // stage, or the card's end with its outcome.
    void showStep(QLineEdit *box, const CardEntry::Step &step);
    // The upper stage (the upper four digits asked for) or the lower one.
    void showStage(bool kami4);
    // Both boxes empty, the focus in the lower one.
    void emptyEntry();
    // Shows text in the guidance line and has screen readers read it; a hit
    // in the line's own colours (its "atari" property true) until the next message.
    void inform(const QString &text, bool atari = false);

    void showAtariList();
    // The list a later start asked for, when nothing is in its way now.
    void answerLaterStart();
    // The download command once its list fetch has ended: the box of its
    // result, or the download dialog.
    void newDataListFetched(const NewDataListJob &fetch);
    // Writes the data file in force to settings.ini; says once when it cannot.
    void saveSettings();
    // After another data file has been put in force: the caption and rows,
    // AllClear, the prize list refreshed, and the choice written at once.
    void showDataFileInForce();
    // The sitting's counts in their labels, after every change of them.
    void showCounts();
    // The deadline line for today: after every load and when the date changes.
    void showKigen();

    ProgramState &m_state;
    // strSimo2, strKami4, intAtariToukyu and arrKouho of the card being checked.
    CardEntry m_entry;
    KigenReminder m_reminder;
    bool m_stopping = false;
    // A later start asked for the list; the dialog it waits for to close.
    bool m_listAskedLater = false;
    QPointer<QWidget> m_laterStartWaitsFor;

    QLabel *lblTypeCaption = nullptr;
    QLabel *lblKigen = nullptr;
    bool m_settingsLossTold = false;
    QLabel *lblCheckCnt = nullptr;
    QLabel *lblMaisuu = nullptr;
    QLabel *lblSimo2 = nullptr;
    QLineEdit *txtInputSimo2 = nullptr;
    QLabel *lblKami4 = nullptr;
    QLineEdit *txtInputKami4 = nullptr;
    QLabel *lblInputNum = nullptr;
    QLabel *lblInform = nullptr;
    QGroupBox *Frame1 = nullptr;
    std::array<QLabel *, 5> lblToukyuu {};
    std::array<QLabel *, 5> lblAtariCnt {};
    // Members 0..4 follow the class rows, member 6 the total; there is no 5.
    std::array<QLabel *, 7> lblMai {};
    QLabel *lblGoukeiCnt = nullptr;

    QAction *mnuRemind = nullptr;
    // The pop-up of the check count; never on the menu bar.
    QMenu *mnuEditCnt = nullptr;

    QPointer<frmSyouhin> m_syouhin;
    QPointer<frmAtariList> m_atariList;
    // The download command's list fetch while it runs.
    QPointer<NewDataListJob> m_fetch;
};
