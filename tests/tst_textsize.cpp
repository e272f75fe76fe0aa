// The text size of the 表示 menu (ui/TextSize.h): read from the setting, put
// in force in every window of the program at once, each laid out as if it
// had opened at the size, and the keys and the menu that choose it. The main
// window's own part is tst_frmmain's.

#include "testsupport.h"
#include "ui/Fonts.h"
#include "ui/TextSize.h"
#include "ui/Widgets.h"
#include "ui/frmAbout.h"
#include "ui/frmAtariList.h"
#include "ui/frmDataConfirm.h"
#include "ui/frmDataEdit.h"
#include "ui/frmDownFileList.h"
#include "ui/frmFileSelect.h"
#include "ui/frmProgress.h"
#include "ui/frmSyouhin.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

namespace {

// A window that counts the font changes its own event() is told of.
class CountingWindow final : public QDialog
{
public:
    int changesSeen = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::ApplicationFontChange)
            ++changesSeen;
        return QDialog::event(event);
    }
};

// A main window of the program's kind: the 表示 menu on its menu bar and a
// box for digits, which has the focus.
class MenuWindow final : public QMainWindow
{
public:
    MenuWindow()
    {
        TextSize::addMenu(this);
        box = Widgets::makeDigitBox(this, QStringLiteral("txtDigits"), 2);
        setCentralWidget(box);
        show();
        QApplication::setActiveWindow(this);
        box->setFocus();
    }
    QLineEdit *box = nullptr;

    QAction *item(const QString &name) const { return findChild<QAction *>(name); }
};

} // namespace

class tst_TextSize : public testsupport::WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase() { Fonts::installSubstitutions(); }
    void init()
    {
        startWindowTest();
        // Classes of one to three winning numbers, for the windows that show them.
        m_state->data.setWinningData(testsupport::makeWinningNumbers(
            {{QStringLiteral("123421")}, {QStringLiteral("987655")}, {QStringLiteral("521"), QStringLiteral("021")},
                {QStringLiteral("34")}, {QStringLiteral("07"), QStringLiteral("58"), QStringLiteral("96")}}));
    }
    void cleanup()
    {
        TextSize::choose(TextSize::Standard);
        endWindowTest();
    }

    // settings.ini is a text file anyone may edit: only the three sizes are
    // taken from it, anything else opens at 標準 (none, another number,
    // another way of writing one).
    void sizeFromSetting_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("percent");
        QTest::newRow("大") << "150" << 150;
        QTest::newRow("特大 with blanks") << " 200 " << 200;
        QTest::newRow("beyond 特大") << "99999" << 100;
        QTest::newRow("negative") << "-150" << 100;
        QTest::newRow("written otherwise") << "150.0" << 100;
        QTest::newRow("past 32 bits") << "4294967446" << 100;
    }
    void sizeFromSetting()
    {
        QFETCH(QString, value);
        QTEST(TextSize::fromSetting(value), "percent");
    }

    // A window that follows the size is laid out at once, its spacing grown
    // from its design, and again at each change, once the window itself has
    // handled the change and its controls have the new font.
    void followingWindowRelaysOut_data()
    {
        QTest::addColumn<int>("opened");
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<int>("margin"); // designed 10
        QTest::addColumn<QList<qreal>>("factors"); // of the button's font at each lay-out
        QTest::newRow("opened at 標準, a size chosen again")
            << 100 << QList<int> {150, 150, 100} << 10 << QList<qreal> {1, 1.5, 1};
        QTest::newRow("opened at 特大") << 200 << QList<int> {100} << 20 << QList<qreal> {2, 1};
    }
    void followingWindowRelaysOut()
    {
        QFETCH(int, opened);
        QFETCH(QList<int>, sizes);
        const qreal desktop = TextSize::desktopFont().pointSizeF();
        TextSize::choose(opened);
        CountingWindow window;
        auto *button = new QPushButton(QStringLiteral("OK"), &window);
        auto *layout = new QVBoxLayout(&window);
        layout->setContentsMargins(10, 10, 10, 10);
        layout->addWidget(button);
        QList<qreal> factors;
        QList<int> changesSeen;
        TextSize::follow(&window, [&] {
            factors << button->font().pointSizeF() / desktop;
            changesSeen << window.changesSeen;
        });
        QTEST(layout->contentsMargins().left(), "margin");
        for (const int percent : sizes)
            TextSize::choose(percent);
        QTEST(factors, "factors");
        for (int i = 0; i < changesSeen.size(); ++i)
            QCOMPARE(changesSeen.at(i), i);
    }

    // The 表示 menu checks the size in force, whether chosen before the menu
    // was made or later by whichever window.
    void menuChecksTheSizeInForce_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after"); // 0: none chosen after
        QTest::addColumn<QString>("checked");
        QTest::newRow("at start") << 200 << 0 << "mnuSize200";
        QTest::newRow("chosen later") << 100 << 150 << "mnuSize150";
        QTest::newRow("back to 標準") << 200 << 100 << "mnuSize100";
    }
    void menuChecksTheSizeInForce()
    {
        QFETCH(int, before);
        QFETCH(int, after);
        TextSize::choose(before);
        QMainWindow window;
        TextSize::addMenu(&window);
        if (after)
            TextSize::choose(after);
        QStringList checked;
        for (const QAction *item : window.findChild<QMenu *>(QStringLiteral("mnuView"))->actions()) {
            if (item->isChecked())
                checked << item->objectName();
        }
        QTEST(checked.join(u' '), "checked");
    }

    // A modal window is given the keys of the size as it shows, for as long
    // as the window of the menu lives.
    void modalWindowsTakeTheKeys_data()
    {
        QTest::addColumn<bool>("menuWindowGone");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("menu window open") << false << QStringList {"mnuSize100", "sizeLarger", "sizeSmaller"};
        QTest::newRow("menu window gone") << true << QStringList {};
    }
    void modalWindowsTakeTheKeys()
    {
        QFETCH(bool, menuWindowGone);
        auto window = std::make_unique<QMainWindow>();
        TextSize::addMenu(window.get());
        if (menuWindowGone)
            window.reset();
        QDialog dialog;
        dialog.setModal(true);
        dialog.show();
        QStringList keys;
        for (const QAction *key : dialog.actions())
            keys << key->objectName();
        QTEST(keys, "keys");
    }

    // The 表示 menu reaches every window at once: a font of each window grows
    // by exactly the factor, message boxes with the application's font by
    // the factor over the desktop's, a window that fits its content fits it
    // again, and every window stays whole on the small screen.
    void reachesEveryWindow_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<qreal>("desktopScale");
        QTest::addColumn<qreal>("factor");
        QTest::newRow("標準") << "mnuSize100" << 1.0 << 1.0;
        QTest::newRow("大") << "mnuSize150" << 1.0 << 1.5;
        QTest::newRow("特大") << "mnuSize200" << 1.0 << 2.0;
        QTest::newRow("特大 over a large desktop text") << "mnuSize200" << 1.5 << 2.0;
    }
    void reachesEveryWindow()
    {
        QFETCH(QString, item);
        QFETCH(qreal, desktopScale);
        QFETCH(qreal, factor);
        const QFont previous = QApplication::font();
        QFont desktop = previous;
        desktop.setPointSizeF(9 * desktopScale);
        QApplication::setFont(desktop);
        MenuWindow owner;
        // A window of each kind, open at the change: a control of it and its
        // font's designed size (0: the application's font).
        const frmFileSelect fileSelect(m_state->data, &owner);
        const frmAbout about(&owner);
        testsupport::HandJob job;
        const frmProgress progress(&job, &owner);
        const frmDownFileList download(m_state->data.NewDataList(), &owner);
        const frmDataEdit dataEdit(m_state->data.winningData(), &owner);
        DataEditInput typed;
        typed.strNumbers[0] = QStringLiteral("123456");
        const frmDataConfirm confirm(typed, DataEditStart {}, &owner);
        const QMessageBox box(
            QMessageBox::Information, QStringLiteral("Harovan"), QStringLiteral("text"), QMessageBox::Ok, &owner);
        frmSyouhin syouhin(m_state->data.winningData(), &owner);
        syouhin.Form_Activate();
        syouhin.show();
        frmAtariList atariList(m_state->book, m_state->record, m_state->data, &owner);
        atariList.show();
        const QList<std::tuple<const QWidget *, QString, qreal>> windows {
            {&syouhin, QStringLiteral("lblTousenNum_0"), 9.75},
            // It grows with the desktop's text too.
            {&atariList, QStringLiteral("lstAtari"), 11.25 * desktopScale},
            {&fileSelect, QStringLiteral("lstXmlFile"), 11.25},
            {&about, QStringLiteral("lblTitle"), 9},
            {&progress, QStringLiteral("lblProgress"), 0},
            {&download, QStringLiteral("lstXmlFile"), 11.25},
            {&dataEdit, QStringLiteral("txtNumbers_0"), 0},
            {&confirm, QStringLiteral("lblConfirmNumbers_0"), 20},
            {&box, QStringLiteral("qt_msgbox_label"), 0},
        };

        // From 大 first, so that every row is a change.
        owner.item(QStringLiteral("mnuSize150"))->trigger();
        owner.item(item)->trigger();

        const qreal appFont = QApplication::font().pointSizeF();
        QList<qreal> points;
        for (const auto &[window, name, designedPoints] : windows)
            points << window->findChild<QWidget *>(name)->font().pointSizeF()
                    / (designedPoints ? designedPoints : desktop.pointSizeF());
        const bool syouhinFitted = syouhin.size() == syouhin.sizeHint();
        // Every window is whole on the screen of 1280×800 it runs on (the data
        // editor's fields scroll); a window not yet shown at its size hint.
        QStringList offScreen;
        for (const auto &[window, name, designedPoints] : windows) {
            const QSize size = window->isVisible() ? window->size() : window->sizeHint();
            const QSize room = TextSize::roomOnScreen(window);
            if (size.width() > room.width() || size.height() > room.height())
                offScreen << QStringLiteral("%1 %2x%3").arg(window->objectName()).arg(size.width()).arg(size.height());
        }
        TextSize::choose(TextSize::Standard);
        QApplication::setFont(previous);
        QCOMPARE(appFont, desktop.pointSizeF() * factor);
        QCOMPARE(points, QList<qreal>(windows.size(), factor));
        QVERIFY(syouhinFitted);
        QVERIFY2(offScreen.isEmpty() || desktopScale != 1, qPrintable(offScreen.join(u", ")));
    }

    // Ctrl with plus, minus and 0 step the size, also with the focus in a box
    // whose filter lets only digits in, which stays empty and takes digits
    // after; plus is Shift+; on a Japanese keyboard, so Ctrl+; steps up too.
    void keysStepTheSize_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("expected");
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("Ctrl++") << 100 << int(Qt::Key_Plus) << ctrl << 150;
        QTest::newRow("Ctrl++ at 特大 stays") << 200 << int(Qt::Key_Plus) << ctrl << 200;
        QTest::newRow("Ctrl+; (Japanese)") << 150 << int(Qt::Key_Semicolon) << ctrl << 200;
        QTest::newRow("Ctrl+Shift+; (Japanese)")
            << 100 << int(Qt::Key_Semicolon) << ctrl + int(Qt::ShiftModifier) << 150;
        QTest::newRow("Ctrl+-") << 200 << int(Qt::Key_Minus) << ctrl << 150;
        QTest::newRow("Ctrl+- at 標準 stays") << 100 << int(Qt::Key_Minus) << ctrl << 100;
        QTest::newRow("Ctrl+0") << 200 << int(Qt::Key_0) << ctrl << 100;
    }
    void keysStepTheSize()
    {
        QFETCH(int, start);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        TextSize::choose(start);
        MenuWindow window;
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // Through the shortcut handling of the window system's key events.
        QTest::keyClick(window.box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTEST(TextSize::percent(), "expected");
        QCOMPARE(window.box->text(), QString());
        QVERIFY(testsupport::typeKeys(QStringLiteral("9")));
        QCOMPARE(window.box->text(), QStringLiteral("9"));
    }

    // A window open while the size changes lays itself out as one opened at
    // the new size: margins, gaps, fonts and the sizes from their metrics,
    // over any number of steps and whatever size it was opened at.
    void windowAtAChangedSizeAsIfOpenedAtIt_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QList<int>>("sizes"); // opened at the first, then each in turn
        const QList<int> up {100, 150, 200};
        const QList<int> down {200, 150, 100};
        const QList<int> back {150, 200, 100, 150};
        for (const char *window : {"frmAbout", "frmFileSelect", "frmDataConfirm"}) {
            QTest::addRow("%s up", window) << window << up;
            QTest::addRow("%s down", window) << window << down;
            QTest::addRow("%s there and back", window) << window << back;
        }
        QTest::newRow("frmDataEdit up") << "frmDataEdit" << up;
        QTest::newRow("frmSyouhin there and back") << "frmSyouhin" << back;
    }
    void windowAtAChangedSizeAsIfOpenedAtIt()
    {
        QFETCH(QString, window);
        QFETCH(QList<int>, sizes);
        MenuWindow owner;
        const auto open = [&]() -> std::unique_ptr<QWidget> {
            DataEditInput typed;
            typed.strNumbers[0] = QStringLiteral("123456");
            if (window == u"frmAbout")
                return std::make_unique<frmAbout>(&owner);
            if (window == u"frmFileSelect")
                return std::make_unique<frmFileSelect>(m_state->data, &owner);
            if (window == u"frmDataConfirm")
                return std::make_unique<frmDataConfirm>(typed, DataEditStart {}, &owner);
            if (window == u"frmDataEdit")
                return std::make_unique<frmDataEdit>(m_state->data.winningData(), &owner);
            return std::make_unique<frmSyouhin>(m_state->data.winningData(), &owner);
        };
        TextSize::choose(sizes.first());
        const std::unique_ptr<QWidget> changed = open();
        for (const int percent : sizes)
            TextSize::choose(percent);
        const std::unique_ptr<QWidget> opened = open();
        const QSize changedSize = changed->sizeHint();
        const QSize openedSize = opened->sizeHint();
        TextSize::choose(TextSize::Standard);
        QCOMPARE(changedSize, openedSize);
    }

    // A window the user has sized (the prize list) keeps its proportions to
    // the text: it grows and shrinks by as much as the text does, never
    // beyond its screen.
    void userSizedWindowFollowsTheSize_data()
    {
        QTest::addColumn<QSize>("userSize"); // at 標準
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<QSize>("expected"); // empty: the room on the screen
        QTest::newRow("大") << QSize(450, 400) << QList<int> {150} << QSize(675, 600);
        QTest::newRow("大 and back") << QSize(450, 400) << QList<int> {150, 100} << QSize(450, 400);
        QTest::newRow("特大 beyond the screen") << QSize(700, 500) << QList<int> {200} << QSize();
    }
    void userSizedWindowFollowsTheSize()
    {
        QFETCH(QSize, userSize);
        QFETCH(QList<int>, sizes);
        QFETCH(QSize, expected);
        MenuWindow owner;
        frmSyouhin window(m_state->data.winningData(), &owner);
        window.Form_Activate();
        window.show();
        window.resize(userSize);
        for (const int percent : sizes)
            TextSize::choose(percent);
        const QSize size = window.size();
        const QSize room = TextSize::roomOnScreen(&window);
        TextSize::choose(TextSize::Standard);
        QCOMPARE(size, expected.isEmpty() ? room : expected);
    }

    // A shortcut of the 表示 menu stands apart from its entry at a large
    // desktop font: a blank of at least a line's height lies between the two
    // texts' ink.
    void shortcutApartFromItsEntry()
    {
        const QFont previous = QApplication::font();
        QFont large(QStringLiteral("IPAPGothic"));
        large.setPointSizeF(18);
        QApplication::setFont(large);
        MenuWindow window;
        // The new font reaches the widgets through the event queue.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::ApplicationFontChange);
        auto *menu = window.findChild<QMenu *>(QStringLiteral("mnuView"));
        menu->popup(window.mapToGlobal(QPoint(0, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        const QImage shown = menu->grab().toImage();
        const qreal ratio = shown.devicePixelRatio();
        const QRect row = menu->actionGeometry(window.item(QStringLiteral("mnuSize100")));
        const int lineHeight = menu->fontMetrics().height();
        menu->hide();
        QApplication::setFont(previous);

        // The widest run of blank columns between the row's first and last ink.
        int widestBlank = 0;
        for (int x = 0, blank = -shown.width(); x < shown.width(); ++x) {
            bool ink = false;
            for (int y = int(row.top() * ratio); y <= int(row.bottom() * ratio) && !ink; ++y)
                ink = qGray(shown.pixel(x, y)) < 96;
            if (ink)
                widestBlank = std::max(widestBlank, blank);
            blank = ink ? 0 : blank + 1;
        }
        QVERIFY2(widestBlank >= lineHeight * ratio, qPrintable(QStringLiteral("%1 pixels").arg(widestBlank)));
    }
};

QTEST_MAIN(tst_TextSize)
#include "tst_textsize.moc"
