#pragma once

#include "core/CardEntry.h"
#include "core/KigenReminder.h"
#include "core/ProgramState.h"

#include <QMainWindow>
#include <QPointer>

#include <array>

class QAction;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;
class frmAtariList;
class frmSyouhin;

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
    void mnuDownload_Click();
    // Enters a draw's numbers as a new data file, and puts it in force when the user asks.
    void mnuMakeData_Click();

    // Puts data/<fileName> in force as the chosen card type; the window shows
    // it as soon as it is. False when it failed to load, after the box that
    // tells why; then nothing has changed.
    bool useDataFile(const QString &fileName);

    // The prize list window; when create is true and it does not exist it is
    // created hidden.
    frmSyouhin *Syouhin(bool create);

    // Once the window is on screen: opens the book of won cards (telling once
    // when it cannot be used) and, when a draw's last exchange day is near
    // for cards not yet exchanged, asks once a day whether to see them. With
    // showList (harovan --show-list, from the login reminder's notification)
    // the list opens without a question, on the draw due when one is.
    void remindAtStartUp(bool showList = false);
    // Shows the list of won cards, opening it when it is not open.
    void showAtariList();

    // The household's book of won cards, kept from sitting to sitting.
    AtariBook &atariBook() { return m_state.book; }

    // The sitting: every card judged since the last clear or load, and its counts.
    const CheckRecord &checkRecord() const { return m_state.record; }
    // The check count, as the sitting holds it.
    qint16 intCheckCnt() const { return m_state.record.intCheckCnt(); }

    // The lower stage: the lower box takes the card's last two digits.
    void InputSimo2();
    // The upper stage: prompts for the upper four digits, naming class intToukyu.
    void InputKami4(qint16 intToukyu);
    // Ends a card: empties both boxes and enters it into the sitting, which
    // counts it and, after a hit, its class's hits, and a won card into the book.
    void Clear_input();
    // Announces a hit of class intToukyu; the card ending next counts it.
    void Atari(qint16 intToukyu);
    // Flashes the caption: intFlashTime + 1 timed cycles, blocking meanwhile.
    void Flash(qint16 intFlashTime);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void createMenus();
    // The fonts and the sizes from their metrics, at the text size in force.
    void applyTextSize();

    void txtInputSimo2_Change();
    void txtInputKami4_Change();
    // The key filter of both boxes; true when the key is discarded.
    bool filterKey(QLineEdit *box, const QKeyEvent &key);
    // Shows text in the guidance line and has screen readers read it.
    void inform(const QString &text);

    void mnuSelectFile_Click();
    void mnuShowIchiran_Click();
    // Makes or removes the login reminder's autostart entry as the item is checked.
    void mnuRemind_Click();
    void mnuViewHelp_Click();
    void mnuVersion_Click();
    void mnuUp_Click();
    void mnuDown_Click();
    // Writes the data file in force to settings.ini, as at exit; says once
    // when it cannot be kept.
    void saveSettings();
    void syouhin_hiddenByClose();
    // After another data file has been put in force: the caption and rows,
    // AllClear, the prize list refreshed, and the choice written to
    // settings.ini at once.
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

    QLabel *lblTypeCaption = nullptr;
    QLabel *lblKigen = nullptr;
    // Looks at the date now and then, so the deadline line turns at midnight.
    QTimer *m_kigenTimer = nullptr;
    bool m_settingsLossTold = false;
    QLabel *Label15 = nullptr;
    QLabel *lblCheckCnt = nullptr;
    QLabel *lblMaisuu = nullptr;
    QLabel *lblSimo2 = nullptr;
    QLineEdit *txtInputSimo2 = nullptr;
    QLabel *lblKami4 = nullptr;
    QLineEdit *txtInputKami4 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *lblInputNum = nullptr;
    QLabel *lblInform = nullptr;
    QGroupBox *Frame1 = nullptr;
    std::array<QLabel *, 5> lblToukyuu {};
    std::array<QLabel *, 5> lblAtariCnt {};
    // Members 0..4 follow the class rows, member 6 the total; there is no 5.
    std::array<QLabel *, 7> lblMai {};
    QLabel *Label12 = nullptr;
    QLabel *lblGoukeiCnt = nullptr;

    QMenu *mnuMenu = nullptr;
    QAction *mnuSelectFile = nullptr;
    QAction *mnuDownload = nullptr;
    QAction *mnuMakeData = nullptr;
    QAction *mnuShowIchiran = nullptr;
    QAction *mnuShowAtari = nullptr;
    QAction *mnuRemind = nullptr;
    QAction *mnuClear = nullptr;
    QAction *mnuExit = nullptr;
    QMenu *mnuView = nullptr;
    QAction *mnuSize100 = nullptr;
    QAction *mnuSize150 = nullptr;
    QAction *mnuSize200 = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuViewHelp = nullptr;
    QAction *mnuVersion = nullptr;
    // The pop-up of the check count; never on the menu bar.
    QMenu *mnuEditCnt = nullptr;
    QAction *mnuUp = nullptr;
    QAction *mnuDown = nullptr;

    QPointer<frmSyouhin> m_syouhin;
    QPointer<frmAtariList> m_atariList;
};
