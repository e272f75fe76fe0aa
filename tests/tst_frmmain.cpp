#include "core/AtariBook.h"
#include "core/Reminder.h"
#include "core/Settings.h"
#include "core/UserFiles.h"
#include "fakeservices.h"
#include "testsupport.h"

#include "ui/Fonts.h"
#include "ui/Placement.h"
#include "ui/TextSize.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <memory>

using platform::FakeMessageBox;
using platform::MessageBox;

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QColor DisabledBoxColor = QColor::fromRgb(0xE0E0E0);

// Prize classes 1.. in order, each with its winning numbers, in force.
void setWinningNumbers(DataInForce &inForce, const QList<QStringList> &classes)
{
    WinningData data = testsupport::makeWinningNumbers(classes);
    data.strFileName = QStringLiteral("test.xml");
    data.strType = QStringLiteral("年賀状");
    data.strYear = QStringLiteral("令和8");
    inForce.setWinningData(data);
}

// Class 1 ends in 21 with upper digits 1234; class 3 holds 521 and 021; class 4
// holds 34; class 5 holds 07 and 58. Class 2 needs all six digits of 987655.
void setExampleData(DataInForce &inForce)
{
    setWinningNumbers(inForce,
        {{QStringLiteral("123421")}, {QStringLiteral("987655")}, {QStringLiteral("521"), QStringLiteral("021")},
            {QStringLiteral("34")}, {QStringLiteral("07"), QStringLiteral("58")}});
}

// The contrast ratio of two colours, 1 to 21, as accessibility guidelines measure it.
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The text a label or box showed when it was last painted.
class PaintedText : public QObject
{
public:
    explicit PaintedText(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            text = watched->property("text").toString();
        return false;
    }
    QString text;
};

void sendKey(QWidget *target, int key, const QString &text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

} // namespace

class TestFrmMain : public testsupport::WindowTest
{
    Q_OBJECT

private:
    template <typename T> T *child(const QString &name) const
    {
        T *widget = m_window->findChild<T *>(name);
        if (!widget)
            qFatal("no child %s", qPrintable(name));
        return widget;
    }
    QLabel *label(const QString &name) const { return child<QLabel>(name); }
    QLineEdit *lower() const { return child<QLineEdit>(QStringLiteral("txtInputSimo2")); }
    QLineEdit *upper() const { return child<QLineEdit>(QStringLiteral("txtInputKami4")); }
    QString inform() const { return label(QStringLiteral("lblInform"))->text(); }
    QString inputNum() const { return label(QStringLiteral("lblInputNum"))->text(); }
    QString checkCount() const { return label(QStringLiteral("lblCheckCnt"))->text(); }
    QAction *action(const QString &name) const { return child<QAction>(name); }

    // Types the keys where the user's keystrokes go: into the focused widget.
    void typeKeys(const QString &keys) { QVERIFY2(testsupport::typeKeys(keys), "no widget has the focus"); }

    void verifyLowerStage()
    {
        QVERIFY(lower()->isEnabled());
        QVERIFY(!upper()->isEnabled());
        QVERIFY(label(QStringLiteral("lblSimo2"))->isEnabled());
        QVERIFY(!label(QStringLiteral("lblKami4"))->isEnabled());
        QCOMPARE(upper()->palette().color(QPalette::Base), DisabledBoxColor);
        QCOMPARE(lower()->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
        QCOMPARE(QApplication::focusWidget(), lower());
    }

    std::unique_ptr<frmMain> m_window;
    // The number of sounds made when each inversion of the caption happened.
    QList<qsizetype> m_soundsAtInversion;

private slots:
    void initTestCase() { Fonts::installSubstitutions(); }

    void init()
    {
        startWindowTest();
        m_soundsAtInversion.clear();
        m_fakes->windowFlash.currentTick = [this] {
            m_soundsAtInversion.append(m_fakes->sound.events.size());
            return m_fakes->tickCount.value;
        };
        setExampleData(m_state->data);
        m_window = std::make_unique<frmMain>(*m_state);
        m_window->ShowTypeCaption();
        m_window->AllClear();
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        lower()->setFocus();
    }

    void cleanup()
    {
        m_window.reset();
        TextSize::choose(TextSize::Standard);
        endWindowTest();
    }

    // One card, typed key by key into whichever box has the focus.
    void checkOneCard_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expectedInform");
        QTest::addColumn<QString>("expectedInputNum");
        QTest::addColumn<int>("hitClass"); // 0: a loss
        QTest::addColumn<int>("inversions");
        QTest::addColumn<QStringList>("sounds");

        const QString loss = QStringLiteral("はずれです...次の番号を入力してください");
        const QString congratulations = QStringLiteral("等が当たりました！おめでとうございます。");
        const QStringList none;
        const QStringList play {QStringLiteral("play")};
        const QStringList beepThenPlay {QStringLiteral("beep"), QStringLiteral("play")};
        const QStringList beep {QStringLiteral("beep")};

        // The lower two digits decide.
        QTest::newRow("loss on two digits") << "99" << loss << "****99" << 0 << 0 << none;
        QTest::newRow("class 5 on two digits") << "07"
                                               << "５" + congratulations << "****07" << 5 << 3 << play;
        QTest::newRow("class 4 on two digits") << "34"
                                               << "４" + congratulations << "****34" << 4 << 4 << play;
        // The upper four digits decide; the prompt flashes 4 times and beeps first.
        QTest::newRow("class 1 on six digits") << "211234"
                                               << "１" + congratulations << "123421" << 1 << 4 + 7 << beepThenPlay;
        QTest::newRow("class 3 when the upper digits end in 5")
            << "210005"
            << "３" + congratulations << "000521" << 3 << 4 + 5 << beepThenPlay;
        QTest::newRow("class 3 by its number with a leading zero")
            << "219990"
            << "３" + congratulations << "999021" << 3 << 4 + 5 << beepThenPlay;
        QTest::newRow("class 2 on six digits") << "559876"
                                               << "２" + congratulations << "987655" << 2 << 4 + 6 << beepThenPlay;
        QTest::newRow("loss on six digits names the first candidate")
            << "210001"
            << "はずれです...当選番号は 521 でした" + CrLf + "次の番号を入力してください"
            << "000121" << 0 << 4 << beep;
    }

    void checkOneCard()
    {
        QFETCH(QString, keys);
        QFETCH(QString, expectedInform);
        QFETCH(QString, expectedInputNum);
        QFETCH(int, hitClass);
        QFETCH(int, inversions);
        QFETCH(QStringList, sounds);

        typeKeys(keys);

        QCOMPARE(inform(), expectedInform);
        QCOMPARE(inputNum(), expectedInputNum);
        QCOMPARE(checkCount(), QStringLiteral("1"));
        QCOMPARE(m_fakes->windowFlash.inversions, inversions);
        QCOMPARE(m_fakes->sound.events, sounds);
        // The sound starts only after the caption has stopped flashing.
        if (sounds.endsWith(QStringLiteral("play")))
            QCOMPARE(m_soundsAtInversion.last(), sounds.size() - 1);
        if (hitClass > 0)
            QCOMPARE(m_fakes->sound.played, QStringList {m_folder->path() + QStringLiteral("atari.wav")});
        for (int k = 1; k <= 5; ++k) {
            const QString expected = k == hitClass ? QStringLiteral("1") : QStringLiteral("0");
            QCOMPARE(label(QStringLiteral("lblAtariCnt_%1").arg(k - 1))->text(), expected);
            QCOMPARE(m_window->checkRecord().intAtariCnt(static_cast<qint16>(k)), k == hitClass ? 1 : 0);
        }
        QCOMPARE(
            label(QStringLiteral("lblGoukeiCnt"))->text(), hitClass > 0 ? QStringLiteral("1") : QStringLiteral("0"));
        QVERIFY(lower()->text().isEmpty());
        QVERIFY(upper()->text().isEmpty());
        verifyLowerStage();
        QVERIFY(m_fakes->messageBox.shown.isEmpty());
        // Seen without the sound: a hit's line stands apart from a loss's grey, in brightness too.
        const QPalette line = label(QStringLiteral("lblInform"))->palette();
        QCOMPARE(contrast(line.color(QPalette::Window), DisabledBoxColor) >= 3, hitClass > 0);
        QVERIFY(contrast(line.color(QPalette::WindowText), line.color(QPalette::Window)) >= 4.5);
    }

    // The road of one card in two stages, looked at after every key.
    void twoStageCardKeyByKey()
    {
        typeKeys(QStringLiteral("2"));
        QCOMPARE(inform(), QString());
        QCOMPARE(inputNum(), QStringLiteral("******"));
        QCOMPARE(m_fakes->windowFlash.inversions, 0);

        typeKeys(QStringLiteral("1"));
        QCOMPARE(inputNum(), QStringLiteral("****21"));
        // The prompt names the highest class among the candidates.
        QCOMPARE(inform(), QStringLiteral("３等の可能性あり！上４桁を入力してください"));
        QCOMPARE(lower()->text(), QStringLiteral("21"));
        QVERIFY(!lower()->isEnabled());
        QVERIFY(!label(QStringLiteral("lblSimo2"))->isEnabled());
        QCOMPARE(lower()->palette().color(QPalette::Base), DisabledBoxColor);
        QVERIFY(upper()->isEnabled());
        QVERIFY(label(QStringLiteral("lblKami4"))->isEnabled());
        QCOMPARE(upper()->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
        QCOMPARE(QApplication::focusWidget(), upper());
        QCOMPARE(m_fakes->windowFlash.inversions, 4);
        QCOMPARE(m_fakes->windowFlash.restores, 1);
        QCOMPARE(m_fakes->windowFlash.lastInvertedTitle, QStringLiteral("★ Harovan ★"));
        QCOMPARE(m_fakes->sound.events, QStringList {QStringLiteral("beep")});
        QCOMPARE(m_soundsAtInversion, QList<qsizetype>(4, 0));
        QCOMPARE(checkCount(), QStringLiteral("0"));

        typeKeys(QStringLiteral("123"));
        QCOMPARE(upper()->text(), QStringLiteral("123"));
        QCOMPARE(inform(), QStringLiteral("３等の可能性あり！上４桁を入力してください"));
        QCOMPARE(checkCount(), QStringLiteral("0"));

        typeKeys(QStringLiteral("4"));
        QCOMPARE(inform(), QStringLiteral("１等が当たりました！おめでとうございます。"));
        QCOMPARE(inputNum(), QStringLiteral("123421"));
        QCOMPARE(checkCount(), QStringLiteral("1"));
        verifyLowerStage();

        // The last result stays until the next key in the lower box, a hit's look with it.
        QVERIFY(label(QStringLiteral("lblInform"))->property("atari").toBool());
        typeKeys(QStringLiteral("9"));
        QCOMPARE(inform(), QString());
        QCOMPARE(inputNum(), QStringLiteral("******"));
        QVERIFY(!label(QStringLiteral("lblInform"))->property("atari").toBool());
    }

    void keyFilter_data()
    {
        QTest::addColumn<bool>("upperBox");
        QTest::addColumn<QString>("before"); // digits typed into the box first
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("resetsLines"); // lblInputNum and lblInform, lower box only

        for (const bool upperBox : {false, true}) {
            const char *box = upperBox ? "upper: " : "lower: ";
            const auto row = [box](const char *name) -> QTestData & {
                return QTest::newRow((QByteArray(box) + name).constData());
            };
            row("digit") << upperBox << "" << int(Qt::Key_7) << "7"
                         << "7" << !upperBox;
            row("letter") << upperBox << "1" << int(Qt::Key_A) << "a"
                          << "1" << !upperBox;
            row("capital letter") << upperBox << "" << int(Qt::Key_E) << "E"
                                  << "" << !upperBox;
            row("blank") << upperBox << "1" << int(Qt::Key_Space) << " "
                         << "1" << !upperBox;
            row("minus") << upperBox << "" << int(Qt::Key_Minus) << "-"
                         << "" << !upperBox;
            row("full-width digit") << upperBox << "1" << int(Qt::Key_unknown) << "２"
                                    << "1" << !upperBox;
            row("kana") << upperBox << "" << int(Qt::Key_unknown) << "あ"
                        << "" << !upperBox;
            row("backspace") << upperBox << "1" << int(Qt::Key_Backspace) << "\b"
                             << "" << !upperBox;
            // Keys that type no character are not filtered and reset nothing.
            row("arrow") << upperBox << "1" << int(Qt::Key_Left) << ""
                         << "1" << false;
            row("delete") << upperBox << "1" << int(Qt::Key_Delete) << "\x7f"
                          << "1" << false;
        }
    }

    void keyFilter()
    {
        QFETCH(bool, upperBox);
        QFETCH(QString, before);
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFETCH(bool, resetsLines);

        typeKeys(QStringLiteral("99"));
        if (upperBox)
            typeKeys(QStringLiteral("21"));
        QLineEdit *box = upperBox ? upper() : lower();
        QCOMPARE(QApplication::focusWidget(), box);
        typeKeys(before);
        const QString marker = QStringLiteral("(result of the last card)");
        label(QStringLiteral("lblInform"))->setText(marker);
        label(QStringLiteral("lblInputNum"))->setText(marker);

        sendKey(box, key, text);

        QCOMPARE(box->text(), expected);
        QCOMPARE(inform(), resetsLines ? QString() : marker);
        QCOMPARE(inputNum(), resetsLines ? QStringLiteral("******") : marker);
        QCOMPARE(checkCount(), QStringLiteral("1"));
    }

    // Undo in a box the program has emptied brings back no judged digits.
    void undoAfterACard_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("upperBox");
        QTest::addColumn<QString>("countBefore");

        QTest::newRow("lower box after a loss") << "99" << false << "1";
        QTest::newRow("upper box after an earlier card") << "210001"
                                                            "21"
                                                         << true << "1";
    }

    void undoAfterACard()
    {
        QFETCH(QString, keys);
        QFETCH(bool, upperBox);
        QFETCH(QString, countBefore);

        typeKeys(keys);
        QCOMPARE(checkCount(), countBefore);
        QLineEdit *box = upperBox ? upper() : lower();
        QCOMPARE(QApplication::focusWidget(), box);

        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);

        QVERIFY(box->text().isEmpty());
        QCOMPARE(checkCount(), countBefore);
        QCOMPARE(box == upper(), upper()->isEnabled());
    }

    void backspaceLeavesTheCardUnjudged()
    {
        typeKeys(QStringLiteral("5"));
        QTest::keyClick(lower(), Qt::Key_Backspace);
        typeKeys(QStringLiteral("9"));
        QCOMPARE(lower()->text(), QStringLiteral("9"));
        QCOMPARE(checkCount(), QStringLiteral("0"));
        QCOMPARE(inform(), QString());
    }

    void pasteNonNumeric_data()
    {
        QTest::addColumn<bool>("upperBox");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("message");

        const QString lowerMessage = QStringLiteral("２桁の正しい値を入力してください。");
        const QString upperMessage = QStringLiteral("４桁の正しい値を入力してください。");
        QTest::newRow("lower: digit and letter") << false << "1a" << lowerMessage;
        QTest::newRow("lower: letter and digit") << false << "x1" << lowerMessage;
        QTest::newRow("lower: full-width digits") << false << "１２" << lowerMessage;
        QTest::newRow("lower: longer text cut to two") << false << "1z345" << lowerMessage;
        QTest::newRow("upper: digits and letters") << true << "12ab" << upperMessage;
        QTest::newRow("upper: inner blank") << true << "1 23" << upperMessage;
        QTest::newRow("upper: word") << true << "-inf" << upperMessage;
    }

    void pasteNonNumeric()
    {
        QFETCH(bool, upperBox);
        QFETCH(QString, pasted);
        QFETCH(QString, message);

        if (upperBox)
            typeKeys(QStringLiteral("21"));
        const QString informBefore = inform();
        QLineEdit *box = upperBox ? upper() : lower();
        // What the box holds while the box is open.
        QString textWhileShown;
        m_fakes->messageBox.onShow = [&](const FakeMessageBox::Shown &) { textWhileShown = box->text(); };

        QApplication::clipboard()->setText(pasted);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);

        const QList<FakeMessageBox::Shown> expected {
            {QStringLiteral("Error"), message, MessageBox::Icon::Critical, MessageBox::Buttons::Ok}};
        QCOMPARE(m_fakes->messageBox.shown, expected);
        QCOMPARE(textWhileShown, pasted.left(box->maxLength()));
        QVERIFY(box->text().isEmpty());
        QCOMPARE(checkCount(), QStringLiteral("0"));
        QCOMPARE(QApplication::focusWidget(), box);
        if (upperBox) {
            // Still in the upper stage, the two digits kept, the prompt unchanged.
            QCOMPARE(lower()->text(), QStringLiteral("21"));
            QVERIFY(!lower()->isEnabled());
            QVERIFY(upper()->isEnabled());
            QCOMPARE(inform(), informBefore);
        } else {
            verifyLowerStage();
        }
    }

    void countsAcrossHitsAndLosses()
    {
        typeKeys(QStringLiteral("559876"
                                "07"
                                "559876"
                                "99"
                                "210001"
                                "559876"));
        QCOMPARE(checkCount(), QStringLiteral("6"));
        QCOMPARE(label(QStringLiteral("lblAtariCnt_1"))->text(), QStringLiteral("3"));
        QCOMPARE(label(QStringLiteral("lblAtariCnt_4"))->text(), QStringLiteral("1"));
        QCOMPARE(label(QStringLiteral("lblAtariCnt_0"))->text(), QStringLiteral("0"));
        QCOMPARE(label(QStringLiteral("lblGoukeiCnt"))->text(), QStringLiteral("4"));
        QCOMPARE(m_fakes->sound.played.size(), 4);
    }

    void clearDuringTheUpperStage()
    {
        typeKeys(QStringLiteral("07"
                                "21"));
        QVERIFY(upper()->isEnabled());
        typeKeys(QStringLiteral("12"));

        action(QStringLiteral("mnuClear"))->trigger();

        QVERIFY(lower()->text().isEmpty());
        QVERIFY(upper()->text().isEmpty());
        QCOMPARE(inform(), QStringLiteral("下２桁を入力してください"));
        QCOMPARE(inputNum(), QStringLiteral("******"));
        QCOMPARE(checkCount(), QStringLiteral("0"));
        QCOMPARE(label(QStringLiteral("lblAtariCnt_4"))->text(), QStringLiteral("0"));
        QCOMPARE(label(QStringLiteral("lblGoukeiCnt"))->text(), QStringLiteral("0"));
        QCOMPARE(m_window->checkRecord().intAtariCnt(5), 0);
        verifyLowerStage();
        QVERIFY(m_fakes->messageBox.shown.isEmpty());

        // The next card starts afresh.
        typeKeys(QStringLiteral("34"));
        QCOMPARE(checkCount(), QStringLiteral("1"));
        QCOMPARE(label(QStringLiteral("lblGoukeiCnt"))->text(), QStringLiteral("1"));
    }

    void popUpMenu_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("opens");

        QTest::newRow("count, left") << "lblCheckCnt" << Qt::LeftButton << true;
        QTest::newRow("count, right") << "lblCheckCnt" << Qt::RightButton << true;
        QTest::newRow("count, middle") << "lblCheckCnt" << Qt::MiddleButton << true;
        QTest::newRow("unit, left") << "lblMaisuu" << Qt::LeftButton << true;
        QTest::newRow("unit, right") << "lblMaisuu" << Qt::RightButton << true;
        QTest::newRow("caption of the count") << "Label15" << Qt::RightButton << false;
        QTest::newRow("total") << "lblGoukeiCnt" << Qt::LeftButton << false;
    }

    void popUpMenu()
    {
        QFETCH(QString, target);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, opens);

        auto *menu = child<QMenu>(QStringLiteral("mnuEditCnt"));
        QTest::mousePress(label(target), button);
        QCOMPARE(menu->isVisible(), opens);
        menu->hide();
        QTest::mouseRelease(label(target), button);
    }

    void editCheckCount()
    {
        QAction *up = action(QStringLiteral("mnuUp"));
        QAction *down = action(QStringLiteral("mnuDown"));

        down->trigger();
        QCOMPARE(checkCount(), QStringLiteral("0"));
        QCOMPARE(m_fakes->sound.beeps, 1);

        typeKeys(QStringLiteral("99"));
        up->trigger();
        up->trigger();
        QCOMPARE(checkCount(), QStringLiteral("3"));
        down->trigger();
        QCOMPARE(checkCount(), QStringLiteral("2"));
        // The count from the menu goes on with the next card.
        typeKeys(QStringLiteral("99"));
        QCOMPARE(checkCount(), QStringLiteral("3"));
        QCOMPARE(m_fakes->sound.beeps, 1);
        // Hit counts are never edited from here.
        QCOMPARE(label(QStringLiteral("lblGoukeiCnt"))->text(), QStringLiteral("0"));
    }

    void checkCountStopsAtTheBound()
    {
        QAction *up = action(QStringLiteral("mnuUp"));
        for (int i = 0; i < CheckRecord::MaxCount; ++i)
            up->trigger();
        QCOMPARE(checkCount(), QStringLiteral("32767"));
        QCOMPARE(m_fakes->sound.beeps, 0);

        up->trigger();
        QCOMPARE(checkCount(), QStringLiteral("32767"));
        QCOMPARE(m_fakes->sound.beeps, 1);

        typeKeys(QStringLiteral("99"));
        QCOMPARE(checkCount(), QStringLiteral("32767"));
        action(QStringLiteral("mnuDown"))->trigger();
        QCOMPARE(checkCount(), QStringLiteral("32766"));
    }

    void hitOfAClassWithoutARow()
    {
        setWinningNumbers(m_state->data,
            {{QStringLiteral("111111")}, {QStringLiteral("22")}, {QStringLiteral("33")}, {QStringLiteral("44")},
                {QStringLiteral("55")}, {QStringLiteral("66")}, {QStringLiteral("000077")}});
        m_window->ShowTypeCaption();
        m_window->AllClear();

        typeKeys(QStringLiteral("66"));
        QCOMPARE(inform(), QStringLiteral("６等が当たりました！おめでとうございます。"));
        QCOMPARE(m_fakes->windowFlash.inversions, 2);
        typeKeys(QStringLiteral("770000"));
        QCOMPARE(inform(), QStringLiteral("７等が当たりました！おめでとうございます。"));

        QCOMPARE(m_window->checkRecord().intAtariCnt(6), 1);
        QCOMPARE(m_window->checkRecord().intAtariCnt(7), 1);
        for (int r = 0; r < 5; ++r)
            QCOMPARE(label(QStringLiteral("lblAtariCnt_%1").arg(r))->text(), QStringLiteral("0"));
        QCOMPARE(label(QStringLiteral("lblGoukeiCnt"))->text(), QStringLiteral("2"));
        QCOMPARE(checkCount(), QStringLiteral("2"));

        m_window->AllClear();
        QCOMPARE(m_window->checkRecord().intAtariCnt(6), 0);
    }

    void noDataInForce()
    {
        setWinningNumbers(m_state->data, {});
        m_window->AllClear();
        typeKeys(QStringLiteral("21"));
        QCOMPARE(inform(), QStringLiteral("はずれです...次の番号を入力してください"));
        QCOMPARE(checkCount(), QStringLiteral("1"));
    }

    void typeCaptionAndRows_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("year");
        QTest::addColumn<int>("classesBefore");
        QTest::addColumn<int>("classes");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("rowsShown");

        QTest::newRow("era name in the year") << "年賀状"
                                              << "令和8" << 5 << 3 << "【年賀状令和8年版】" << 3;
        QTest::newRow("bare year") << "X"
                                   << "17" << 5 << 5 << "【X平成17年版】" << 5;
        QTest::newRow("five after three") << "年賀状"
                                          << "18" << 3 << 5 << "【年賀状平成18年版】" << 5;
        QTest::newRow("more than five") << "年賀状"
                                        << "18" << 2 << 7 << "【年賀状平成18年版】" << 5;
        QTest::newRow("one") << "寒中見舞"
                             << "令和7" << 5 << 1 << "【寒中見舞令和7年版】" << 1;
        QTest::newRow("markup in the type") << "<b>X</b>"
                                            << "17" << 5 << 5 << "【<b>X</b>平成17年版】" << 5;
        // No type: the caption stays as it was; no classes: the rows stay too.
        QTest::newRow("no type") << ""
                                 << "17" << 5 << 2 << "【年賀状令和8年版】" << 2;
        QTest::newRow("no classes") << "年賀状"
                                    << "17" << 4 << 0 << "【年賀状平成17年版】" << 4;
    }

    void typeCaptionAndRows()
    {
        QFETCH(QString, type);
        QFETCH(QString, year);
        QFETCH(int, classesBefore);
        QFETCH(int, classes);
        QFETCH(QString, caption);
        QFETCH(int, rowsShown);

        const auto load = [this](const QString &strType, const QString &strYear, int count) {
            setWinningNumbers(m_state->data, QList<QStringList>(count, QStringList {QStringLiteral("12")}));
            testsupport::changeData(m_state->data, [&](WinningData &data) {
                data.strType = strType;
                data.strYear = strYear;
            });
            m_window->ShowTypeCaption();
        };
        load(QStringLiteral("年賀状"), QStringLiteral("令和8"), classesBefore);
        m_window->setWindowTitle(QStringLiteral("something else"));
        load(type, year, classes);

        QCOMPARE(label(QStringLiteral("lblTypeCaption"))->text(), caption);
        // The whole text shows, whatever it holds.
        QLabel *typeCaption = label(QStringLiteral("lblTypeCaption"));
        QVERIFY(typeCaption->sizeHint().width() >= typeCaption->fontMetrics().horizontalAdvance(caption));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Harovan"));
        const QStringList captions {QStringLiteral("１等"), QStringLiteral("２等"), QStringLiteral("３等"),
            QStringLiteral("４等"), QStringLiteral("５等")};
        for (int r = 0; r < 5; ++r) {
            for (const QString &name :
                {QStringLiteral("lblToukyuu_%1"), QStringLiteral("lblAtariCnt_%1"), QStringLiteral("lblMai_%1")})
                QCOMPARE(label(name.arg(r))->isVisible(), r < rowsShown);
            QCOMPARE(label(QStringLiteral("lblToukyuu_%1").arg(r))->text(), captions.at(r));
        }
        QVERIFY(label(QStringLiteral("lblMai_6"))->isVisible());
    }

    // The deadline line follows every load and the date, in red from two
    // weeks before the last day.
    void kigenFollowsLoadsAndTheDate()
    {
        QLabel *kigen = label(QStringLiteral("lblKigen"));
        const auto red
            = [kigen] { return (kigen->palette().color(QPalette::WindowText).rgb() & 0xFFFFFF) == 0xC00000; };
        QCOMPARE(kigen->text(), QString());

        m_fakes->clock.date = QDate(2026, 7, 6);
        testsupport::changeData(m_state->data, [](WinningData &data) { data.exchangeTo = QDate(2026, 7, 21); });
        m_window->ShowTypeCaption();
        QCOMPARE(kigen->text(), QStringLiteral("賞品の引換は2026年7月21日まで（あと15日）"));
        QVERIFY(!red());
        QCOMPARE(kigen->palette().color(QPalette::WindowText),
            m_window->centralWidget()->palette().color(QPalette::WindowText));

        // Midnight passes with the program open.
        auto *timer = m_window->findChild<QTimer *>(QStringLiteral("kigenTimer"));
        QVERIFY(timer->isActive());
        QVERIFY(timer->interval() <= 60 * 1000);
        m_fakes->clock.date = QDate(2026, 7, 7);
        timer->start(0);
        QTRY_COMPARE(kigen->text(), QStringLiteral("賞品の引換は2026年7月21日まで（あと14日）"));
        QVERIFY(red());

        // A file without an exchange period shows no line.
        testsupport::changeData(m_state->data, [](WinningData &data) { data.exchangeTo = QDate(); });
        m_window->ShowTypeCaption();
        QCOMPARE(kigen->text(), QString());
    }

    void controlsAsDesigned()
    {
        const QColor back = QColor::fromRgb(0xC0C0FF);
        QCOMPARE(m_window->centralWidget()->palette().color(QPalette::Window), back);
        QCOMPARE(label(QStringLiteral("lblInform"))->palette().color(QPalette::Window), DisabledBoxColor);
        QCOMPARE(child<QGroupBox>(QStringLiteral("Frame1"))->title(), QStringLiteral("当選枚数"));
        QCOMPARE(lower()->maxLength(), 2);
        QCOMPARE(upper()->maxLength(), 4);
        QVERIFY(!lower()->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(!upper()->testAttribute(Qt::WA_InputMethodEnabled));
        // The designed faces, as this system has them.
        QCOMPARE(lower()->font(), Fonts::font(Fonts::PGothic, 14.25));
        QCOMPARE(lower()->font().pointSizeF(), 14.25);
        QCOMPARE(label(QStringLiteral("lblTypeCaption"))->font(), Fonts::font(Fonts::UIGothic, 11.25));
        QCOMPARE(label(QStringLiteral("lblInform"))->font().pointSizeF(), 11.25);
        for (const QString &name : {QStringLiteral("lblCheckCnt"), QStringLiteral("lblMaisuu"),
                 QStringLiteral("lblAtariCnt_0"), QStringLiteral("lblGoukeiCnt")})
            QVERIFY(label(name)->alignment() & Qt::AlignRight);
        QVERIFY(label(QStringLiteral("lblInform"))->alignment() & Qt::AlignHCenter);
        // The Japanese fonts stand in for the designed ones.
        QVERIFY(QFontInfo(lower()->font()).family().startsWith(QStringLiteral("IPA")));
        // Both lines of the longest message fit.
        QLabel *informLabel = label(QStringLiteral("lblInform"));
        informLabel->setText(QStringLiteral("はずれです...当選番号は 123456 でした") + CrLf
            + QStringLiteral("次の番号を入力してください"));
        QVERIFY(informLabel->height() >= informLabel->sizeHint().height());
        QVERIFY(informLabel->width() >= informLabel->sizeHint().width());
    }

    void menuBar()
    {
        QMenuBar *bar = m_window->menuBar();
        QStringList topLevel;
        for (QAction *item : bar->actions())
            topLevel << item->menu()->objectName() + u'=' + item->text();
        QCOMPARE(topLevel, (QStringList {"mnuMenu=メニュー(&M)", "mnuView=表示(&V)", "mnuHelp=ヘルプ(&H)"}));

        // Each item with its shortcut, and whether it is checked.
        const auto rows = [this](const QString &menuName) {
            QStringList result;
            for (QAction *item : child<QMenu>(menuName)->actions()) {
                QString row = item->objectName() + u'=' + (item->isSeparator() ? QStringLiteral("-") : item->text());
                if (!item->shortcut().isEmpty())
                    row += u' ' + item->shortcut().toString();
                if (item->isChecked())
                    row += QStringLiteral(" ✓");
                result << row;
                if (!item->isEnabled())
                    result << QStringLiteral("unexpected disabled item");
            }
            return result;
        };
        QCOMPARE(rows(QStringLiteral("mnuMenu")),
            (QStringList {"mnuSelectFile=はがきの種類を選択(&F)...", "mnuDownload=当選番号データのダウンロード(&D)...",
                "mnuMakeData=当選番号データの作成(&N)...", "mnubar1=-", "mnuShowIchiran=当選番号一覧を表示(&T)",
                "mnuShowAtari=当たったはがきの一覧(&L)", "mnuRemind=ログイン時に引換期限を知らせる(&R)",
                "mnuClear=チェック枚数のクリア(&C)", "mnubar2=-", "mnuExit=終了(&X)"}));
        QCOMPARE(rows(QStringLiteral("mnuView")),
            (QStringList {"mnuSize100=文字の大きさ：標準(&1) Ctrl+0 ✓", "mnuSize150=文字の大きさ：大(&2)",
                "mnuSize200=文字の大きさ：特大(&3)"}));
        QCOMPARE(rows(QStringLiteral("mnuHelp")),
            (QStringList {"mnuViewHelp=ヘルプを表示(&H)...", "mnubar3=-", "mnuVersion=バージョン情報(&V)..."}));
        QCOMPARE(rows(QStringLiteral("mnuEditCnt")), (QStringList {"mnuUp=↑+1", "mnuDown=↓-1"}));
        QCOMPARE(child<QMenu>(QStringLiteral("mnuEditCnt"))->title(), QStringLiteral("menu"));
    }

    // ログイン時に引換期限を知らせる makes and removes the autostart entry and
    // counts as the answer to the question at closing; a failure is told.
    void mnuRemind()
    {
        QAction *item = action(QStringLiteral("mnuRemind"));
        item->trigger();
        QVERIFY(item->isChecked());
        QVERIFY(QFileInfo(autostartEntryPath()).isFile());
        QCOMPARE(Settings::remindAtLogin(), std::optional(true));
        item->trigger();
        QVERIFY(!item->isChecked());
        QVERIFY(!QFileInfo::exists(autostartEntryPath()));
        QCOMPARE(Settings::remindAtLogin(), std::optional(false));
        QVERIFY(m_fakes->messageBox.shown.isEmpty());

        // XDG_CONFIG_HOME names a file.
        QFile file(m_config->filePath(QStringLiteral("file")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        qputenv("XDG_CONFIG_HOME", file.fileName().toLocal8Bit());
        item->trigger();
        QVERIFY(!item->isChecked());
        QCOMPARE(m_fakes->messageBox.shown.size(), 1);
        QVERIFY2(m_fakes->messageBox.shown.at(0).text.contains(QStringLiteral("はフォルダーではなくファイルです。")),
            qPrintable(m_fakes->messageBox.shown.at(0).text));
        QCOMPARE(Settings::remindAtLogin(), std::optional(false));
    }

    // Closed with a card of an open exchange in the book, the program asks
    // once whether to remind at login; never at a logout.
    void loginReminderQuestion_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("entry");
        QTest::newRow("yes") << QStringLiteral("yes") << true << true;
        QTest::newRow("no") << QStringLiteral("no") << true << false;
        QTest::newRow("answered before") << QStringLiteral("answered") << false << false;
        QTest::newRow("logout") << QStringLiteral("logout") << false << false;
        // A link to the user's .bashrc at the entry's name: set up already, and never written through.
        QTest::newRow("an entry there") << QStringLiteral("entry there") << false << true;
    }
    void loginReminderQuestion()
    {
        QFETCH(QString, how);
        QFETCH(bool, asked);
        QFETCH(bool, entry);
        {
            AtariBook book(UserFiles::bookPath());
            const AtariDraw draw {QStringLiteral("年賀状"), QStringLiteral("令和8"), QStringLiteral("a.xml"),
                m_fakes->clock.date.addDays(150)};
            QCOMPARE(book.add(draw, QStringLiteral("123456"), 1, QStringLiteral("現金")), AtariBook::Added::Added);
        }
        // Opened as at start-up: the question reads the window's own book,
        // not the file through a second connection.
        QCOMPARE(m_window->atariBook().open(), AtariBook::State::Ready);
        int connections = 0;
        m_fakes->messageBox.onShow = [&connections](const platform::FakeMessageBox::Shown &) {
            connections = testsupport::openCount(UserFiles::bookPath());
        };
        if (how == u"answered")
            QVERIFY(Settings::setRemindAtLogin(false));
        QFile bashrc(m_config->filePath(QStringLiteral("bashrc")));
        if (how == u"entry there") {
            QVERIFY(bashrc.open(QIODevice::WriteOnly) && bashrc.write("alias ll='ls -l'\n") > 0);
            bashrc.close();
            QVERIFY(QDir().mkpath(QFileInfo(autostartEntryPath()).path()));
            QVERIFY(QFile::link(bashrc.fileName(), autostartEntryPath()));
        }
        if (how == u"no")
            m_fakes->messageBox.answers = {platform::MessageBox::Answer::No};
        if (how == u"logout")
            m_window->closeForStop();
        else
            m_window->close();
        const platform::FakeMessageBox::Shown question {QStringLiteral("Harovan"),
            QStringLiteral("引換期限が近づいたら、ログインしたときにお知らせしますか？"),
            platform::MessageBox::Icon::Question, platform::MessageBox::Buttons::YesNo};
        QCOMPARE(m_fakes->messageBox.shown, asked ? QList {question} : QList<platform::FakeMessageBox::Shown> {});
        QCOMPARE(QFileInfo(autostartEntryPath()).isFile(), entry);
        if (how == u"entry there") {
            QVERIFY(bashrc.open(QIODevice::ReadOnly));
            QCOMPARE(bashrc.readAll(), QByteArray("alias ll='ls -l'\n"));
        }
        if (!asked)
            return;
        QCOMPARE(connections, 1);
        QCOMPARE(Settings::remindAtLogin(), std::optional(how == u"yes"));
        // Once only, in the next run too.
        ProgramState nextRun(UserFiles::bookPath());
        frmMain again(nextRun);
        again.show();
        again.close();
        QCOMPARE(m_fakes->messageBox.shown.size(), 1);
    }

    // The main window follows the 表示 menu: it grows by about the factor
    // (the style's frames keep their size) and the menu checks the size.
    // How the size reaches every window is tst_textsize's.
    void textSizeGrowsTheWindow()
    {
        const QFont previous = QApplication::font();
        QFont desktop = previous;
        desktop.setPointSizeF(9);
        QApplication::setFont(desktop);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::ApplicationFontChange);
        const QSize designed = m_window->size();
        action(QStringLiteral("mnuSize150"))->trigger();
        action(QStringLiteral("mnuSize200"))->trigger();
        const QSize grown = m_window->size();
        const bool checked = action(QStringLiteral("mnuSize200"))->isChecked();
        TextSize::choose(TextSize::Standard);
        QApplication::setFont(previous);
        QVERIFY(checked);
        const qreal factor = 2;
        QVERIFY2(std::abs(grown.width() - designed.width() * factor) <= designed.width() * factor * 0.05
                && std::abs(grown.height() - designed.height() * factor) <= designed.height() * factor * 0.05,
            qPrintable(QStringLiteral("%1x%2 from %3x%4")
                           .arg(grown.width())
                           .arg(grown.height())
                           .arg(designed.width())
                           .arg(designed.height())));
    }

    // Ctrl++ steps the size with the focus in the lower box, which takes
    // digits after it (every key of the size is tst_textsize's).
    void keysStepTheTextSize()
    {
        QTest::keyClick(lower(), Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(TextSize::percent(), TextSize::Large);
        QCOMPARE(lower()->text(), QString());
        typeKeys(QStringLiteral("9"));
        QCOMPARE(lower()->text(), QStringLiteral("9"));
    }

    void helpOpensTheDocument_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<bool>("opens"); // whether the desktop has a program that opens it
        QTest::newRow("help file present") << true << true;
        QTest::newRow("help file missing") << false << true;
        // Without xdg-open the command did nothing at all.
        QTest::newRow("nothing opens it: where it is") << true << false;
    }

    void helpOpensTheDocument()
    {
        QFETCH(bool, present);
        QFETCH(bool, opens);
        const QString path = m_folder->path() + QStringLiteral("ReadMe.html");
        if (present) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        m_fakes->shell.fails = !opens;
        action(QStringLiteral("mnuViewHelp"))->trigger();
        QCOMPARE(m_fakes->shell.opened, present ? QStringList {path} : QStringList {});
        using Box = platform::FakeMessageBox::Shown;
        const Box told {QStringLiteral("Harovan"),
            QStringLiteral("ヘルプを開けませんでした。ブラウザで次のファイルを開いてください：\r\n") + path,
            platform::MessageBox::Icon::Warning};
        QCOMPARE(m_fakes->messageBox.shown, opens ? QList<Box> {} : QList<Box> {told});
    }

    void modalWindows_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::newRow("card type") << "mnuSelectFile"
                                   << "frmFileSelect";
        QTest::newRow("version") << "mnuVersion"
                                 << "frmAbout";
    }

    void modalWindows()
    {
        QFETCH(QString, item);
        QFETCH(QString, window);
        QString opened;
        bool modal = false;
        int sizeAfterCtrlPlus = 0;
        QTimer::singleShot(0, this, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            opened = dialog->objectName();
            modal = dialog->isModal();
            // The keys that step the text size work in the dialog too.
            QTest::keyClick(dialog, Qt::Key_Plus, Qt::ControlModifier);
            sizeAfterCtrlPlus = TextSize::percent();
            dialog->close();
        });
        action(item)->trigger();
        TextSize::choose(TextSize::Standard);
        QCOMPARE(opened, window);
        QVERIFY(modal);
        QCOMPARE(sizeAfterCtrlPlus, TextSize::Large);
        // Created afresh each time and gone once closed.
        QTRY_VERIFY(!m_window->findChild<QWidget *>(window));
    }

    void prizeListComesToTheFront()
    {
        action(QStringLiteral("mnuShowIchiran"))->trigger();
        QWidget *list = m_window->findChild<QWidget *>(QStringLiteral("frmSyouhin"));
        QVERIFY(list);
        QVERIFY(list->isVisible());
        QVERIFY(list->isWindow());
        // Whole on the screen, at the size of what it shows, beside the main window as far as there is room.
        const QRect screen = m_window->screen()->availableGeometry();
        QVERIFY(screen.contains(list->frameGeometry()));
        QCOMPARE(list->frameGeometry(),
            Placement::besideRect(m_window->frameGeometry(), list->frameGeometry().size(), screen));
        list->lower();
        QApplication::setActiveWindow(m_window.get());

        action(QStringLiteral("mnuShowIchiran"))->trigger();
        QCOMPARE(m_window->findChildren<QWidget *>(QStringLiteral("frmSyouhin")).size(), 1);
        QTRY_COMPARE(QApplication::activeWindow(), list);
        // The main window stays usable.
        QVERIFY(m_window->isEnabled());

        // A minimised list used to stay minimised: the command did nothing to be seen.
        list->showMinimized();
        QApplication::setActiveWindow(m_window.get());
        action(QStringLiteral("mnuShowIchiran"))->trigger();
        QVERIFY(!list->isMinimized());
        QVERIFY(list->isVisible());
    }

    // Greyed texts stay readable: at least 3:1 against what they stand on,
    // and still lighter than the texts that take input.
    void greyedTextsReadable_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("control");

        QTest::newRow("上４桁 while the lower two digits are asked for") << ""
                                                                         << "lblKami4";
        QTest::newRow("the empty upper box") << ""
                                             << "txtInputKami4";
        QTest::newRow("下２桁 while the upper four are asked for") << "21"
                                                                   << "lblSimo2";
        QTest::newRow("the two digits frozen meanwhile") << "21"
                                                         << "txtInputSimo2";
    }
    void greyedTextsReadable()
    {
        QFETCH(QString, keys);
        QFETCH(QString, control);
        typeKeys(keys);
        QWidget *widget = child<QWidget>(control);
        QVERIFY(!widget->isEnabled());

        const bool box = qobject_cast<QLineEdit *>(widget) != nullptr;
        const QPalette palette = widget->palette();
        const QPalette::ColorRole textRole = box ? QPalette::Text : QPalette::WindowText;
        const QColor back
            = box ? palette.color(QPalette::Base) : m_window->centralWidget()->palette().color(QPalette::Window);
        const QColor greyed = palette.color(QPalette::Disabled, textRole);
        const QColor enabled = palette.color(QPalette::Active, textRole);
        QVERIFY2(contrast(greyed, back) >= 3.0, qPrintable(greyed.name() + " on " + back.name()));
        QVERIFY(contrast(enabled, back) > 1.5 * contrast(greyed, back));
    }

    // The frame of the hits is painted in the window's colour, not a tint of it.
    void hitsFrameInTheWindowColour()
    {
        auto *frame = child<QGroupBox>(QStringLiteral("Frame1"));
        const QImage image = frame->grab().toImage();
        // Between the counts and their unit "枚", inside the outline.
        const QRect count = label(QStringLiteral("lblAtariCnt_1"))->geometry();
        const QPoint inside(count.right() + 2, count.center().y());
        QCOMPARE(image.pixelColor(inside * image.devicePixelRatio()).name(), QColor(0xC0C0FF).name());
    }

    // The window keeps the size its content needs, whatever asks for another.
    void sizeFollowsTheContent()
    {
        const QSize fitted = m_window->size();
        QVERIFY(!m_window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        m_window->resize(fitted * 2);
        QCOMPARE(m_window->size(), fitted);
        m_window->showMaximized();
        QCOMPARE(m_window->size(), fitted);
        m_window->showNormal();

        // A longer card type widens the window so that all of it shows.
        testsupport::changeData(m_state->data, [](WinningData &data) { data.strType = QString(40, u'長'); });
        m_window->ShowTypeCaption();
        QTRY_VERIFY(m_window->width() > fitted.width());
        QLabel *caption = label(QStringLiteral("lblTypeCaption"));
        QVERIFY(caption->width() >= caption->sizeHint().width());
    }

    // At a large desktop font every menu entry is drawn whole: its row holds
    // as much ink as the text drawn on its own, not a text shortened with "…".
    void menuEntriesWholeAtLargeFonts()
    {
        const QFont previous = QApplication::font();
        QFont large(QStringLiteral("IPAPGothic"));
        large.setPointSizeF(16);
        QApplication::setFont(large);
        // The new font reaches the widgets through the event queue.
        QCoreApplication::processEvents();
        QMenu *menu = child<QMenu>(QStringLiteral("mnuMenu"));
        menu->popup(m_window->mapToGlobal(QPoint(0, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        const QImage shown = menu->grab().toImage();
        QAction *download = action(QStringLiteral("mnuDownload"));
        const QRect row = menu->actionGeometry(download);
        menu->hide();

        const auto inkWidth = [](const QImage &image, const QRect &area) {
            int left = area.right();
            int right = area.left();
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x) {
                    if (qGray(image.pixel(x, y)) < 96) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
                }
            }
            return right - left;
        };
        const qreal ratio = shown.devicePixelRatio();
        const int drawn = inkWidth(shown, QRect(row.topLeft() * ratio, row.size() * ratio));
        QImage plain(shown.size(), QImage::Format_RGB32);
        plain.setDevicePixelRatio(ratio);
        plain.fill(Qt::white);
        QPainter painter(&plain);
        painter.setFont(menu->font());
        painter.drawText(
            QRect(QPoint(0, 0), row.size()), Qt::AlignLeft | Qt::AlignVCenter, download->text().remove(u'&'));
        painter.end();
        QApplication::setFont(previous);
        const int whole = inkWidth(plain, QRect(QPoint(0, 0), row.size() * ratio));
        QVERIFY2(drawn >= whole - 2 * ratio, qPrintable(QStringLiteral("%1 of %2 pixels").arg(drawn).arg(whole)));
    }

    // The flash blocks the window, so it is painted first: the digits just
    // typed and the prompt show while the caption flashes.
    void paintedBeforeTheFlash_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("shown");

        QTest::newRow("a two-digit hit: its digits") << "07"
                                                     << "txtInputSimo2"
                                                     << "07";
        QTest::newRow("the upper-digit prompt")
            << "21"
            << "lblInform" << QStringLiteral("３等の可能性あり！上４桁を入力してください");
    }
    void paintedBeforeTheFlash()
    {
        QFETCH(QString, keys);
        QFETCH(QString, control);
        QWidget *widget = child<QWidget>(control);
        PaintedText painted(widget);
        QString shownAtFlash = QStringLiteral("(no flash)");
        m_fakes->windowFlash.currentTick = [&] {
            if (shownAtFlash == QStringLiteral("(no flash)"))
                shownAtFlash = painted.text;
            return m_fakes->tickCount.value;
        };
        typeKeys(keys);
        QTEST(shownAtFlash, "shown");
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
