#include "ui/frmMain.h"

#include "core/LoginEntry.h"
#include "core/NewDataListJob.h"
#include "core/Settings.h"
#include "core/modNengajo.h"
#include "ui/Accessibility.h"
#include "ui/Fonts.h"
#include "ui/Look.h"
#include "ui/Placement.h"
#include "ui/TextSize.h"
#include "ui/Widgets.h"
#include "ui/frmAbout.h"
#include "ui/frmAtariList.h"
#include "ui/frmFileSelect.h"
#include "ui/frmSyouhin.h"

#include "platform/messagebox.h"
#include "platform/programfolder.h"
#include "platform/sound.h"
#include "platform/windowflash.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>

using Widgets::indexedName;
using Widgets::makeLabel;

namespace {

// Flashes the caption, with stars around its text where the system shows the
// inversion by the text.
void flashCaption(QWidget *window, int times)
{
    platform::flashCaption(window, times, QStringLiteral("★ %1 ★").arg(window->windowTitle()));
}

} // namespace

frmMain::frmMain(ProgramState &state, QWidget *parent)
    : QMainWindow(parent)
    , m_state(state)
    , m_entry(state.data, state.record, state.book)
    , m_reminder(state.data, state.book, this)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Harovan"));
    // The window keeps the size its content needs: no maximise button, no
    // resizing that would tear its rows apart.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    createMenus();
    createControls();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    TextSize::follow(this, [this] { applyTextSize(); });
    connect(&state.record, &CheckRecord::countsChanged, this, &frmMain::showCounts);
    connect(&state.data, &DataInForce::changed, this, &frmMain::showDataFileInForce);
    connect(&m_reminder, &KigenReminder::showListRequested, this, &frmMain::showAtariList);
    connect(&m_reminder, &KigenReminder::dayMayHaveTurned, this, &frmMain::showKigen);
    // The list a later start asked for while a card was being entered, once it has ended.
    for (QLineEdit *box : {txtInputSimo2, txtInputKami4})
        connect(box, &QLineEdit::textChanged, this, [this] {
            if (m_listAskedLater)
                QTimer::singleShot(0, this, &frmMain::answerLaterStart);
        });
    setAcceptDrops(true);
}

void frmMain::createControls()
{
    auto *surface = new QWidget(this);
    surface->setObjectName(QStringLiteral("surface"));
    Look::paintWindowBackground(surface);
    setCentralWidget(surface);

    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;

    lblTypeCaption = makeLabel(surface, QStringLiteral("lblTypeCaption"), QString());
    lblKigen = makeLabel(surface, QStringLiteral("lblKigen"), QString());

    // The check count, the two entry rows and the number of the card, top to bottom.
    auto *Label15 = makeLabel(surface, QStringLiteral("Label15"), QStringLiteral("チェック枚数"));
    lblCheckCnt = makeLabel(surface, QStringLiteral("lblCheckCnt"), QStringLiteral("0"), right);
    lblMaisuu = makeLabel(surface, QStringLiteral("lblMaisuu"), QStringLiteral("枚"), right);
    for (QLabel *label : {lblCheckCnt, lblMaisuu}) {
        // A press of any button opens the count's own menu, nothing else.
        label->setContextMenuPolicy(Qt::PreventContextMenu);
        Widgets::filterEvents(label, this, [this](QObject *, QEvent *event) {
            if (event->type() == QEvent::MouseButtonPress)
                mnuEditCnt->popup(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
            return event->type() == QEvent::MouseButtonPress;
        });
    }

    lblSimo2 = makeLabel(surface, QStringLiteral("lblSimo2"), QStringLiteral("下２桁"));
    // A key typed in the lower box begins a new card: the last one's number and message go.
    txtInputSimo2 = Widgets::makeDigitBox(surface, QStringLiteral("txtInputSimo2"), 2, [this] {
        lblInputNum->setText(QStringLiteral("******"));
        inform(QString());
    });
    lblKami4 = makeLabel(surface, QStringLiteral("lblKami4"), QStringLiteral("上４桁"));
    txtInputKami4 = Widgets::makeDigitBox(surface, QStringLiteral("txtInputKami4"), 4);
    showStage(false);

    auto *Label3 = makeLabel(surface, QStringLiteral("Label3"), QStringLiteral("調べた番号"));
    lblInputNum = makeLabel(surface, QStringLiteral("lblInputNum"), QStringLiteral("******"), Qt::AlignCenter);
    lblInputNum->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    // In the colours the system gives an enabled text box and its text.
    Look::fillBackground(lblInputNum, QApplication::palette().color(QPalette::Active, QPalette::Base).rgb());
    Look::setColour(
        lblInputNum, QPalette::WindowText, QApplication::palette().color(QPalette::Active, QPalette::Text).rgb());
    Accessibility::nameValue(lblCheckCnt, Label15->text(), QStringLiteral("枚"));
    Accessibility::nameValue(lblInputNum, Label3->text());

    auto *entry = new QGridLayout;
    entry->setHorizontalSpacing(8);
    entry->setVerticalSpacing(10);
    entry->addWidget(Label15, 0, 0);
    // No gap between the count and its unit: a press anywhere on them opens the menu.
    auto *count = new QHBoxLayout;
    count->setSpacing(0);
    count->addWidget(lblCheckCnt, 1);
    count->addWidget(lblMaisuu);
    entry->addLayout(count, 0, 1);
    for (auto [row, caption, box] : {std::tuple {1, lblSimo2, txtInputSimo2}, {2, lblKami4, txtInputKami4}}) {
        caption->setBuddy(box);
        box->setAccessibleName(caption->text());
        entry->addWidget(caption, row, 0);
        entry->addWidget(box, row, 1, Qt::AlignLeft);
    }
    entry->addWidget(Label3, 3, 0);
    entry->addWidget(lblInputNum, 3, 1);
    entry->setRowStretch(4, 1);

    // The hits per class and their total.
    Frame1 = Widgets::makeOutlinedBox(surface, QStringLiteral("Frame1"), QStringLiteral("当選枚数"));
    auto *hits = new QGridLayout(Frame1);
    hits->setHorizontalSpacing(6);
    hits->setVerticalSpacing(4);
    for (int r = 0; r < 5; ++r) {
        lblToukyuu[r] = makeLabel(Frame1, indexedName(QStringLiteral("lblToukyuu"), r), QChar(u'１' + r) + u'等');
        lblAtariCnt[r] = makeLabel(Frame1, indexedName(QStringLiteral("lblAtariCnt"), r), QStringLiteral("0"), right);
        lblMai[r] = makeLabel(Frame1, indexedName(QStringLiteral("lblMai"), r), QStringLiteral("枚"));
        Accessibility::nameValue(
            lblAtariCnt[r], lblToukyuu[r]->text() + QStringLiteral("の当選枚数"), QStringLiteral("枚"));
        for (int column = 0; auto *label : {lblToukyuu[r], lblAtariCnt[r], lblMai[r]})
            hits->addWidget(label, r, column++);
    }
    auto *rule = new QFrame(Frame1);
    rule->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    hits->addWidget(rule, 5, 0, 1, 3);
    auto *Label12 = makeLabel(Frame1, QStringLiteral("Label12"), QStringLiteral("合計"));
    lblGoukeiCnt = makeLabel(Frame1, QStringLiteral("lblGoukeiCnt"), QStringLiteral("0"), right);
    lblMai[6] = makeLabel(Frame1, QStringLiteral("lblMai_6"), QStringLiteral("枚"));
    Accessibility::nameValue(lblGoukeiCnt, QStringLiteral("当選枚数の合計"), QStringLiteral("枚"));
    for (int column = 0; auto *label : {Label12, lblGoukeiCnt, lblMai[6]})
        hits->addWidget(label, 6, column++);
    hits->setColumnStretch(1, 1);
    // Rows of classes the data do not have are hidden; the rest stay on top.
    hits->setRowStretch(7, 1);

    lblInform
        = makeLabel(surface, QStringLiteral("lblInform"), QStringLiteral("下２桁を入力してください"), Qt::AlignCenter);
    lblInform->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    Accessibility::makeNotification(lblInform);
    inform(lblInform->text());

    auto *middle = new QHBoxLayout;
    middle->setSpacing(16);
    middle->addLayout(entry);
    middle->addWidget(Frame1);

    auto *outer = new QVBoxLayout(surface);
    outer->setContentsMargins(12, 8, 12, 12);
    outer->setSpacing(8);
    outer->addWidget(lblTypeCaption);
    outer->addWidget(lblKigen);
    outer->addLayout(middle, 1);
    outer->addWidget(lblInform);

    connect(txtInputSimo2, &QLineEdit::textChanged, this,
        [this](const QString &text) { showStep(txtInputSimo2, m_entry.Simo2(text)); });
    connect(txtInputKami4, &QLineEdit::textChanged, this,
        [this](const QString &text) { showStep(txtInputKami4, m_entry.Kami4(text)); });

    setTabOrder(txtInputSimo2, txtInputKami4);
    txtInputSimo2->setFocus();
}

void frmMain::applyTextSize()
{
    using TextSize::scaled;
    setFont(Fonts::font(Fonts::PGothic, 9));
    lblTypeCaption->setFont(Fonts::font(Fonts::UIGothic, 11.25));
    lblTypeCaption->setMinimumHeight(lblTypeCaption->fontMetrics().height() + scaled(4));
    lblKigen->setMinimumHeight(lblKigen->fontMetrics().height() + scaled(2));

    const QFont countFont = Fonts::font(Fonts::PGothic, 11.25);
    for (QLabel *count : lblAtariCnt)
        count->setFont(countFont);
    for (QLabel *count : {lblCheckCnt, lblGoukeiCnt})
        count->setFont(countFont);
    const int countWidth = QFontMetrics(countFont).horizontalAdvance(QStringLiteral("000000"));
    lblCheckCnt->setMinimumWidth(countWidth);
    static_cast<QGridLayout *>(Frame1->layout())->setColumnMinimumWidth(1, countWidth);
    lblMaisuu->setContentsMargins(scaled(4), 0, 0, 0);

    const QFont entryFont = Fonts::font(Fonts::PGothic, 14.25);
    for (QLineEdit *box : {txtInputSimo2, txtInputKami4}) {
        box->setFont(entryFont);
        // Wide enough for its digits and a little room.
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QString(box->maxLength() + 2, u'0')) + scaled(12));
    }
    lblInputNum->setFont(entryFont);
    lblInputNum->setMinimumWidth(lblInputNum->fontMetrics().horizontalAdvance(QStringLiteral("00000000")) + scaled(8));

    lblInform->setFont(Fonts::font(Fonts::PGothic, 11.25));
    // Two lines of text: the longest messages break after their first sentence.
    // Wide enough for the longest line, so the window never has to grow.
    lblInform->setMinimumHeight(2 * lblInform->fontMetrics().lineSpacing() + scaled(12));
    lblInform->setMinimumWidth(
        lblInform->fontMetrics().horizontalAdvance(QStringLiteral("はずれです...当選番号は 000000 でした"))
        + scaled(24));
}

void frmMain::createMenus()
{
    const auto action = [this](QMenu *menu, const char16_t *name, const char16_t *caption, auto handler) {
        QAction *item = menu->addAction(QString::fromUtf16(caption));
        item->setObjectName(QString::fromUtf16(name));
        connect(item, &QAction::triggered, this, handler);
        return item;
    };
    const auto separator
        = [](QMenu *menu, const char16_t *name) { menu->addSeparator()->setObjectName(QString::fromUtf16(name)); };
    const auto menu = [this](const char16_t *name, const char16_t *title) {
        QMenu *added = menuBar()->addMenu(QString::fromUtf16(title));
        added->setObjectName(QString::fromUtf16(name));
        Widgets::keepMenuTextsWhole(added);
        return added;
    };

    mnuEditCnt = new QMenu(QStringLiteral("menu"), this);
    mnuEditCnt->setObjectName(QStringLiteral("mnuEditCnt"));
    // Its title is never shown; readers name the pop-up by what it changes.
    mnuEditCnt->setAccessibleName(QStringLiteral("チェック枚数の修正"));
    Widgets::keepMenuTextsWhole(mnuEditCnt);
    // The corrections change the check count only: no card enters or leaves
    // the sitting, and the hits stay as they are. A beep at the bound.
    const auto beepUnless = [](bool corrected) {
        if (!corrected)
            platform::Service<platform::Sound>::get().beep();
    };
    action(mnuEditCnt, u"mnuUp", u"↑+1", [this, beepUnless] { beepUnless(m_state.record.countUp()); });
    action(mnuEditCnt, u"mnuDown", u"↓-1", [this, beepUnless] { beepUnless(m_state.record.countDown()); });

    QMenu *mnuMenu = menu(u"mnuMenu", u"メニュー(&M)");
    action(
        mnuMenu, u"mnuSelectFile", u"はがきの種類を選択(&F)...", [this] { frmFileSelect(m_state.data, this).exec(); });
    action(mnuMenu, u"mnuDownload", u"当選番号データのダウンロード(&D)...", &frmMain::mnuDownload_Click);
    action(mnuMenu, u"mnuMakeData", u"当選番号データの作成(&N)...", &frmMain::mnuMakeData_Click);
    separator(mnuMenu, u"mnubar1");
    action(mnuMenu, u"mnuShowIchiran", u"当選番号一覧を表示(&T)", [this] {
        frmSyouhin *list = Syouhin(true);
        // Filled first, so it is placed at the size of what it shows.
        list->Form_Activate();
        Placement::placeBeside(list, this);
        Widgets::bringToFront(list);
    });
    action(mnuMenu, u"mnuShowAtari", u"当たったはがきの一覧(&L)", &frmMain::showAtariList);
    mnuRemind = action(mnuMenu, u"mnuRemind", u"ログイン時に引換期限を知らせる(&R)", [this] {
        m_reminder.remindAtLogin(mnuRemind->isChecked(), this);
        mnuRemind->setChecked(loginReminderOn());
    });
    mnuRemind->setCheckable(true);
    // The entry may have been removed in the desktop's own settings meanwhile.
    connect(mnuMenu, &QMenu::aboutToShow, this, [this] { mnuRemind->setChecked(loginReminderOn()); });
    action(mnuMenu, u"mnuClear", u"チェック枚数のクリア(&C)", &frmMain::AllClear);
    separator(mnuMenu, u"mnubar2");
    action(mnuMenu, u"mnuExit", u"終了(&X)", &QWidget::close);

    TextSize::addMenu(this);

    QMenu *mnuHelp = menu(u"mnuHelp", u"ヘルプ(&H)");
    action(mnuHelp, u"mnuViewHelp", u"ヘルプを表示(&H)...", [this] {
        // Without its help file the command does nothing, rather than leave the
        // desktop to complain about a missing document; a help file that nothing
        // opens is named for the user to open by hand.
        const QString path = platform::programFolder() + QStringLiteral("ReadMe.html");
        if (QFileInfo(path).isFile())
            Widgets::openOrTell(path, QStringLiteral("ヘルプ"), this);
    });
    separator(mnuHelp, u"mnubar3");
    action(mnuHelp, u"mnuVersion", u"バージョン情報(&V)...", [this] { frmAbout(this).exec(); });
}

bool frmMain::Form_Load()
{
    const std::optional<bool> loaded = m_state.data.startUp();
    if (loaded && !*loaded) {
        lblTypeCaption->setText(QStringLiteral("（はがきの種類未設定）"));
        inform(QStringLiteral("はがきの種類を選択してください。") + modNengajo::CrLf
            + QStringLiteral("（メニュー→はがきの種類を選択）"));
        txtInputSimo2->setEnabled(false);
    } else if (loaded) {
        ShowTypeCaption();
        AllClear();
    }
    return loaded.has_value();
}

void frmMain::saveSettings()
{
    const QString unsaved
        = Settings::keepFileName(m_state.data.winningData().strFileName, m_stopping, m_settingsLossTold);
    if (!unsaved.isEmpty())
        platform::showMessage(modNengajo::MessageTitle, unsaved, platform::MessageBox::Icon::Warning);
}

void frmMain::closeForStop()
{
    m_stopping = true;
    close();
}

void frmMain::dragEnterEvent(QDragEnterEvent *event)
{
    if (!frmFileSelect::droppedDataFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent *event)
{
    const QString path = frmFileSelect::droppedDataFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // After the drop has ended: the source waits for its answer until then.
    QTimer::singleShot(0, this, [this, path] {
        frmFileSelect dialog(m_state.data, this);
        if (dialog.addFile(path))
            dialog.exec();
    });
}

void frmMain::closeEvent(QCloseEvent *event)
{
    saveSettings();
    if (!m_stopping)
        m_reminder.offerLoginReminder(this);

    // A list fetch under way ends here; every other window goes as the
    // program ends (Qt closes them all), each cancelling the work it started.
    if (m_fetch)
        m_fetch->cancel();
    event->accept();
}

frmSyouhin *frmMain::Syouhin(bool create)
{
    if (!m_syouhin && create) {
        m_syouhin = new frmSyouhin(m_state.data.winningData(), this);
        // The user goes back to the next card; a box that cannot take the focus
        // (while the upper four digits are asked for) is simply left alone.
        connect(m_syouhin, &frmSyouhin::hiddenByClose, this, [this] {
            if (txtInputSimo2->isEnabled()) {
                activateWindow();
                txtInputSimo2->setFocus(Qt::OtherFocusReason);
            }
        });
    }
    return m_syouhin;
}

void frmMain::ShowTypeCaption()
{
    const WinningData &data = m_state.data.winningData();
    if (!data.strType.isEmpty())
        lblTypeCaption->setText(modNengajo::TypeCaptionText(data.strType, data.strYear));
    setWindowTitle(QStringLiteral("Harovan"));
    showKigen();
    if (data.intClassCount == 0)
        return;
    for (int r = 0; r < 5; ++r) {
        for (QLabel *label : {lblMai[r], lblToukyuu[r], lblAtariCnt[r]})
            label->setVisible(r < data.intClassCount);
    }
}

void frmMain::showKigen()
{
    const KigenLine kigen = m_reminder.kigen();
    lblKigen->setText(kigen.text);
    const QRgb normal = centralWidget()->palette().color(QPalette::WindowText).rgb();
    Look::setColour(lblKigen, QPalette::WindowText, kigen.urgent ? Look::Urgent : normal);
}

bool frmMain::useDataFile(const QString &fileName)
{
    return m_state.data.LoadDataFile(fileName).tell();
}

void frmMain::showDataFileInForce()
{
    ShowTypeCaption();
    AllClear();
    // Filled also while the list is hidden or not yet open: it shows the new
    // file's numbers the moment it appears.
    Syouhin(true)->Form_Activate();
    // Remembered now, not only at exit: a session that ends without closing
    // the window (logout, a crash, power loss) keeps the choice too.
    saveSettings();
}

void frmMain::showStage(bool kami4)
{
    // The upper stage's controls first: the focus passes from one box to the other.
    lblKami4->setEnabled(kami4);
    txtInputKami4->setEnabled(kami4);
    lblSimo2->setEnabled(!kami4);
    txtInputSimo2->setEnabled(!kami4);
}

void frmMain::emptyEntry()
{
    // As a new text rather than as an edit, so the user's undo cannot bring
    // back the digits of a card that has already been judged.
    txtInputSimo2->setText(QString());
    txtInputKami4->setText(QString());
    txtInputSimo2->setFocus();
}

void frmMain::remindAtStartUp(bool showList)
{
    m_reminder.startUp(showList);
}

void frmMain::laterStart(bool showList, const QString &activationToken)
{
    if (!activationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", activationToken.toUtf8());
    // While a message of the start-up is open, that message comes forward.
    QWidget *modal = QApplication::activeModalWidget();
    const bool up = isVisible();
    if (up || modal)
        Widgets::bringToFront(modal ? modal : this);
    // As a start with --show-list: the list on the draw due.
    if (up && showList) {
        m_listAskedLater = true;
        answerLaterStart();
    }
}

void frmMain::answerLaterStart()
{
    if (!m_listAskedLater)
        return;
    // The list may put another draw's data in force, which empties the entry
    // and would change the data under an open dialog: it waits until the
    // dialog has closed and the card being entered has ended.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        if (m_laterStartWaitsFor != modal) {
            m_laterStartWaitsFor = modal;
            Widgets::filterEvents(modal, modal, [this](QObject *, QEvent *event) {
                if (event->type() == QEvent::Hide)
                    QTimer::singleShot(0, this, &frmMain::answerLaterStart);
                return false;
            });
        }
        return;
    }
    if (txtInputKami4->isEnabled() || !txtInputSimo2->text().isEmpty() || !txtInputKami4->text().isEmpty())
        return;
    m_listAskedLater = false;
    remindAtStartUp(true);
}

void frmMain::showCounts()
{
    const CheckRecord &record = m_state.record;
    lblCheckCnt->setText(QString::number(record.intCheckCnt()));
    // Only classes 1 to 5 have a row; a hit of a higher class counts in the total.
    for (qint16 k = 1; k <= 5; ++k)
        lblAtariCnt[k - 1]->setText(QString::number(record.intAtariCnt(k)));
    lblGoukeiCnt->setText(QString::number(record.hitTotal()));
}

void frmMain::AllClear()
{
    m_state.record.clear();
    inform(QStringLiteral("下２桁を入力してください"));
    lblInputNum->setText(QStringLiteral("******"));
    showStage(false);
    emptyEntry();
}

void frmMain::showStep(QLineEdit *box, const CardEntry::Step &step)
{
    if (step.outcome == CardEntry::Outcome::Incomplete)
        return;
    if (step.outcome == CardEntry::Outcome::NotNumeric) {
        platform::showMessage(QStringLiteral("Error"), step.strInform, platform::MessageBox::Icon::Critical);
        box->setText(QString());
        box->setFocus();
        return;
    }
    lblInputNum->setText(step.strInputNum);
    if (step.outcome == CardEntry::Outcome::Kami4) {
        inform(CardEntry::Kami4Prompt(step.intToukyu));
        showStage(true);
        txtInputKami4->setFocus();
        flashCaption(this, 2);
        platform::Service<platform::Sound>::get().beep();
        return;
    }
    if (step.outcome == CardEntry::Outcome::Atari) {
        flashCaption(this, 6 - step.intToukyu);
        platform::Service<platform::Sound>::get().playAsync(platform::programFolder() + QStringLiteral("atari.wav"));
        inform(CardEntry::AtariText(step.intToukyu), true);
    } else {
        inform(step.strInform);
    }
    // The card ends: entering it counts it, and a hit with it, in one step.
    showStage(false);
    emptyEntry();
    m_entry.enter();
}

void frmMain::inform(const QString &text, bool atari)
{
    lblInform->setText(text);
    // Seen at once with the sound off: the line stays so while the hit's message stands.
    lblInform->setProperty("atari", atari);
    Look::fillBackground(lblInform, atari ? Look::AtariBackground : Look::ButtonBackground);
    Look::setColour(lblInform, QPalette::WindowText,
        atari ? Look::AtariText : centralWidget()->palette().color(QPalette::WindowText).rgb());
    // Read out at once, so a hit or a loss is heard right after the last
    // digit; and with the box the focus goes to, which a reader announces
    // over anything it was still saying (the prompt for the upper digits).
    Accessibility::announce(lblInform);
    for (QLineEdit *box : {txtInputSimo2, txtInputKami4})
        Accessibility::describe(box, text);
}

void frmMain::showAtariList()
{
    // The list follows the book and the record by itself, card by card, clear by clear.
    if (!m_atariList)
        m_atariList = new frmAtariList(m_state.book, m_state.record, m_state.data, this);
    Placement::placeBeside(m_atariList, this);
    Widgets::bringToFront(m_atariList);
}
