// Entering a draw: the editor's fields and checks as a user meets them, the
// confirmation, the file it writes, and the switch to it in the main window.

#include "fakeservices.h"
#include "testsupport.h"
#include "ui/Fonts.h"
#include "ui/TextSize.h"
#include "ui/frmDataEdit.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include <memory>

using namespace Qt::StringLiterals;
using platform::MessageBox;
using Shown = platform::FakeMessageBox::Shown;

namespace {

const QString Reiwa7 = u"年賀状（令和7年度版）.xml"_s;
const QString Reiwa8 = u"年賀状（令和8年度版）.xml"_s;
const QString Reiwa9 = u"年賀状（令和9年度版）.xml"_s;

template <typename T> T *child(const QWidget *window, const QString &name)
{
    T *found = window->findChild<T *>(name);
    if (!found)
        qWarning() << "no control" << name;
    return found;
}

// Types text into a field as the user does, replacing what it held: the
// field the user was in before is left.
void typeInto(const QWidget *window, const QString &name, const QString &text)
{
    QWidget *field = child<QWidget>(window, name);
    field->setFocus(Qt::MouseFocusReason);
    if (auto *box = qobject_cast<QLineEdit *>(field))
        box->selectAll();
    else if (auto *area = qobject_cast<QPlainTextEdit *>(field))
        area->selectAll();
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Delete);
    else
        QTest::keyClicks(field, text);
}

// The numbers and dates of a new draw, 令和9.
void typeNewDraw(const QWidget *editor)
{
    typeInto(editor, u"txtYear"_s, u"9"_s);
    typeInto(editor, u"txtNumbers_0"_s, u"123456"_s);
    typeInto(editor, u"txtNumbers_1"_s, u"5678"_s);
    typeInto(editor, u"txtNumbers_2"_s, u"12 34 56"_s);
    typeInto(editor, u"txtDrawDate"_s, u"2027/1/17"_s);
    typeInto(editor, u"txtExchangeFrom"_s, u"2027/1/18"_s);
    typeInto(editor, u"txtExchangeTo"_s, u"2027/7/20"_s);
}

QString problemAt(const QWidget *editor, const QString &field)
{
    return child<QLabel>(editor, u"lblCheck_"_s + field)->text();
}

} // namespace

class tst_frmDataEdit : public testsupport::WindowTest
{
    Q_OBJECT

    // The confirmation of the numbers, answered with the named button once it shows.
    void answerConfirmation(QWidget *context, const QString &button, QStringList *seen = nullptr)
    {
        testsupport::whenModal<QDialog>(
            context,
            [button, seen](QDialog *confirm) {
                if (seen) {
                    for (const QString &name : {u"lblConfirmType"_s, u"lblConfirmNumbers_0"_s, u"lblConfirmNumbers_1"_s,
                             u"lblConfirmNumbers_2"_s})
                        seen->append(child<QLabel>(confirm, name)->text());
                }
                QTest::mouseClick(child<QPushButton>(confirm, button), Qt::LeftButton);
            },
            u"frmDataConfirm"_s);
    }

private slots:
    void initTestCase() { Fonts::installSubstitutions(); }

    void init()
    {
        startWindowTest();
        QVERIFY(m_folder->addSchema());
        QVERIFY(m_folder->addData(testsupport::bundledPath(Reiwa8)));
        QVERIFY(m_folder->addData(testsupport::bundledPath(Reiwa7)));
        QCOMPARE(m_state->data.LoadDataFile(Reiwa8).status, 0);
    }

    void cleanup()
    {
        TextSize::choose(TextSize::Standard);
        endWindowTest();
    }

    // The whole road: the menu item opens the editor, the numbers typed in are
    // confirmed, the file is written, and on Yes it is in force as a choice in
    // the card-type dialog would put it; a card is judged against it at once.
    void enterADrawAndSwitch_data()
    {
        QTest::addColumn<MessageBox::Answer>("answer");
        QTest::newRow("switch") << MessageBox::Answer::Yes;
        QTest::newRow("keep the data in force") << MessageBox::Answer::No;
    }
    void enterADrawAndSwitch()
    {
        QFETCH(MessageBox::Answer, answer);
        frmMain window(*m_state);
        window.ShowTypeCaption();
        window.AllClear();
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        m_fakes->messageBox.answers = {answer};

        QStringList confirmed;
        bool saveEnabled = false;
        testsupport::whenModal<frmDataEdit>(&window, [&](frmDataEdit *editor) {
            typeNewDraw(editor);
            saveEnabled = child<QPushButton>(editor, u"cmdSave"_s)->isEnabled();
            answerConfirmation(&window, u"cmdOK"_s, &confirmed);
            QTest::mouseClick(child<QPushButton>(editor, u"cmdSave"_s), Qt::LeftButton);
            if (editor->isVisible())
                editor->reject();
        });
        child<QAction>(&window, u"mnuMakeData"_s)->trigger();

        QVERIFY(saveEnabled);
        QCOMPARE(confirmed, (QStringList {u"【年賀状令和9年版】"_s, u"123456"_s, u"5678"_s, u"12　34　56"_s}));
        QCOMPARE(m_fakes->messageBox.shown,
            (QList<Shown> {{u"Harovan"_s, u"この当選番号データに切り替えますか？"_s, MessageBox::Icon::Question,
                MessageBox::Buttons::YesNo}}));
        QVERIFY(QFileInfo(m_folder->dataPath(Reiwa9)).isFile());

        const bool switched = answer == MessageBox::Answer::Yes;
        QCOMPARE(m_state->data.winningData().strFileName, switched ? Reiwa9 : Reiwa8);
        QCOMPARE(child<QLabel>(&window, u"lblTypeCaption"_s)->text(),
            switched ? u"【年賀状令和9年版】"_s : u"【年賀状令和8年版】"_s);
        const QString settings = m_fakes->settingsFile.readString(
            m_folder->path() + u"settings.ini"_s, u"Settings"_s, u"FileName"_s, u"<none>"_s, 512);
        QCOMPARE(settings, switched ? Reiwa9 : u"<none>"_s);

        // 56 is a 3等 of the new draw and a loss with 令和8.
        auto *lower = child<QLineEdit>(&window, u"txtInputSimo2"_s);
        lower->setFocus();
        QTest::keyClicks(lower, u"56"_s);
        QCOMPARE(child<QLabel>(&window, u"lblAtariCnt_2"_s)->text(), switched ? u"1"_s : u"0"_s);
    }

    // What was typed wrong is told at its field once the field has been
    // left, and everywhere once 保存 is pressed; an empty form is no mistake.
    void problemsAtTheirFields()
    {
        frmDataEdit editor(m_state->data.winningData());
        editor.show();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        QCOMPARE(problemAt(&editor, u"txtNumbers_0"_s), QString());

        typeInto(&editor, u"txtNumbers_2"_s, u"12 34 5"_s);
        QCOMPARE(problemAt(&editor, u"txtNumbers_2"_s), QString());
        QTest::keyClick(child<QWidget>(&editor, u"txtNumbers_2"_s), Qt::Key_Tab);
        QCOMPARE(problemAt(&editor, u"txtNumbers_2"_s),
            u"「5」は当選番号になりません（半角数字2～6桁で入力してください）"_s);

        typeInto(&editor, u"txtExchangeTo"_s, u"2027/2/30"_s);
        QCOMPARE(problemAt(&editor, u"txtExchangeTo"_s), QString());
        QCOMPARE(problemAt(&editor, u"txtNumbers_0"_s), QString());
        const QMap<QString, QByteArray> before = testsupport::snapshot(m_folder->path());
        bool confirmed = false;
        testsupport::whenModal<QDialog>(
            &editor,
            [&](QDialog *confirm) {
                confirmed = true;
                confirm->reject();
            },
            u"frmDataConfirm"_s);
        QTest::mouseClick(child<QPushButton>(&editor, u"cmdSave"_s), Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!confirmed);
        QCOMPARE(problemAt(&editor, u"txtExchangeTo"_s), u"2027年2月30日という日はありません"_s);
        QCOMPARE(problemAt(&editor, u"txtNumbers_0"_s), u"賞品があるのに当選番号がありません"_s);
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(&editor, u"txtNumbers_0"_s));
        QCOMPARE(testsupport::snapshot(m_folder->path()), before);

        // Put right, the problems go as they are typed.
        typeNewDraw(&editor);
        for (const QString &field : {u"txtNumbers_0"_s, u"txtNumbers_2"_s, u"txtExchangeTo"_s})
            QCOMPARE(problemAt(&editor, field), QString());
        editor.hide();
    }

    // A day picked in the calendar is written into its field as a user types it.
    void calendarFillsTheDate()
    {
        frmDataEdit editor(m_state->data.winningData());
        emit child<QCalendarWidget>(&editor, u"calendar_txtExchangeTo"_s)->clicked(QDate(2027, 7, 20));
        QCOMPARE(child<QLineEdit>(&editor, u"txtExchangeTo"_s)->text(), u"2027/7/20"_s);
    }

    // The confirmation holds the input up against the file it started from:
    // a class of other digits in red with the start's count, goods unchanged
    // from it marked, and OK asks once more; No goes back to the fields.
    void confirmationAgainstTheStart_data()
    {
        QTest::addColumn<MessageBox::Answer>("answer");
        QTest::newRow("yes: saved") << MessageBox::Answer::Yes;
        QTest::newRow("no: back to the fields") << MessageBox::Answer::No;
    }
    void confirmationAgainstTheStart()
    {
        QFETCH(MessageBox::Answer, answer);
        m_fakes->messageBox.answers = {answer};
        frmDataEdit editor(m_state->data.winningData());
        editor.show();
        typeNewDraw(&editor);
        typeInto(&editor, u"txtNumbers_0"_s, u"12345"_s);
        // Pasted: the keyboard of the tests types ASCII only.
        child<QPlainTextEdit>(&editor, u"txtSyouhin_1"_s)
            ->setPlainText(u"新しい賞品\n賞品カタログ掲載の賞品（67点の中から1点）"_s);
        QStringList seen;
        QRgb ketaColour = 0;
        testsupport::whenModal<QDialog>(
            &editor,
            [&](QDialog *confirm) {
                for (const QString &name :
                    {u"lblConfirmKeta_0"_s, u"lblConfirmKeta_1"_s, u"lblConfirmSyouhin_1"_s, u"lblConfirmSyouhin_2"_s})
                    seen.append(child<QLabel>(confirm, name)->text());
                ketaColour = child<QLabel>(confirm, u"lblConfirmKeta_0"_s)->palette().color(QPalette::WindowText).rgb();
                QTest::mouseClick(child<QPushButton>(confirm, u"cmdOK"_s), Qt::LeftButton);
            },
            u"frmDataConfirm"_s);
        QTest::mouseClick(child<QPushButton>(&editor, u"cmdSave"_s), Qt::LeftButton);

        QCOMPARE(seen,
            (QStringList {u"（下5桁）（元のデータでは6桁）"_s, u"（下4桁）"_s,
                u"新しい賞品\n賞品カタログ掲載の賞品（67点の中から1点）（元のデータと同じ）"_s,
                u"お年玉切手シート（元のデータと同じ）"_s}));
        QCOMPARE(ketaColour, QColor(0xC00000).rgb());
        QCOMPARE(m_fakes->messageBox.shown,
            (QList<Shown> {{u"Harovan"_s,
                u"当選番号の桁数が、元のデータと違う等級があります。\r\n\r\n・１等（下5桁）：元のデータでは6桁\r\n\r\n"
                "桁数が違うと、当たりになるはがきの数が大きく変わります。\r\n"
                "公表された当選番号と同じ桁数か確かめてください。このまま保存しますか？"_s,
                MessageBox::Icon::Warning, MessageBox::Buttons::YesNo}}));
        const bool saved = answer == MessageBox::Answer::Yes;
        QCOMPARE(QFileInfo(m_folder->dataPath(Reiwa9)).isFile(), saved);
        QCOMPARE(editor.isVisible(), !saved);
        editor.hide();
    }

    // キャンセル and the close box throw away what was typed only after asking.
    void cancelAfterTyping_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::addColumn<QString>("how");
        QTest::addColumn<MessageBox::Answer>("answer");
        QTest::addColumn<bool>("closed");
        QTest::newRow("nothing typed") << false << u"cmdCancel"_s << MessageBox::Answer::No << true;
        QTest::newRow("typed, no") << true << u"cmdCancel"_s << MessageBox::Answer::No << false;
        QTest::newRow("typed, close box, yes") << true << u"close"_s << MessageBox::Answer::Yes << true;
    }
    void cancelAfterTyping()
    {
        QFETCH(bool, typed);
        QFETCH(QString, how);
        QFETCH(MessageBox::Answer, answer);
        QFETCH(bool, closed);
        m_fakes->messageBox.answers = {answer};
        frmDataEdit editor(m_state->data.winningData());
        editor.show();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        // Another start changes the goods: that is no typing.
        auto *base = child<QComboBox>(&editor, u"cboBase"_s);
        base->setCurrentIndex(base->findText(u"年賀状（令和7年度版）"_s));
        if (typed)
            typeInto(&editor, u"txtNumbers_0"_s, u"1"_s);

        if (how == u"close")
            editor.close();
        else
            QTest::mouseClick(child<QPushButton>(&editor, how), Qt::LeftButton);

        const QList<Shown> asked {
            {u"Harovan"_s, u"入力した内容を破棄しますか？"_s, MessageBox::Icon::Question, MessageBox::Buttons::YesNo}};
        QCOMPARE(m_fakes->messageBox.shown, typed ? asked : QList<Shown> {});
        QCOMPARE(editor.isVisible(), !closed);
        if (!closed)
            QCOMPARE(child<QPlainTextEdit>(&editor, u"txtNumbers_0"_s)->toPlainText(), u"1"_s);
        editor.hide();
    }

    // The editor starts from the structure of the data in force; another
    // listed file can be the start instead, or be opened and corrected.
    void startingPoints()
    {
        frmDataEdit editor(m_state->data.winningData());
        const auto text = [&editor](const QString &name) {
            QWidget *field = child<QWidget>(&editor, name);
            if (auto *box = qobject_cast<QLineEdit *>(field))
                return box->text();
            return qobject_cast<QPlainTextEdit *>(field)->toPlainText();
        };
        const auto hint
            = [&editor](int k) { return child<QPlainTextEdit>(&editor, u"txtNumbers_%1"_s.arg(k))->placeholderText(); };
        auto *base = child<QComboBox>(&editor, u"cboBase"_s);
        QCOMPARE(base->currentText(), u"年賀状（令和8年度版）"_s);
        // Today (in the tests 2026-01-25) is in the year of the draw: 令和8.
        QCOMPARE(text(u"txtYear"_s), u"8"_s);
        QCOMPARE(text(u"txtSyouhin_1"_s), u"賞品カタログ掲載の賞品（67点の中から1点）"_s);
        QCOMPARE(text(u"txtNumbers_0"_s), QString());
        QCOMPARE((QStringList {hint(0), hint(1), hint(2), hint(3)}),
            (QStringList {u"6桁の番号"_s, u"下4桁の番号"_s, u"下2桁の番号"_s, QString()}));

        // Another file as the start: its goods, what was typed stays.
        typeInto(&editor, u"txtNumbers_0"_s, u"111111"_s);
        base->setCurrentIndex(base->findText(u"年賀状（令和7年度版）"_s));
        QCOMPARE(text(u"txtSyouhin_1"_s), u"ふるさと小包など（40点の中から1点）"_s);
        QCOMPARE(text(u"txtNumbers_0"_s), u"111111"_s);

        // 開く: its numbers and dates too, corrected and saved in place without a question.
        QTest::mouseClick(child<QPushButton>(&editor, u"cmdOpen"_s), Qt::LeftButton);
        QCOMPARE(text(u"txtYear"_s), u"7"_s);
        QCOMPARE(text(u"txtNumbers_2"_s), u"86 65 32"_s);
        QCOMPARE(text(u"txtExchangeTo"_s), u"2025/7/22"_s);
        typeInto(&editor, u"txtNumbers_1"_s, u"2833"_s);
        answerConfirmation(&editor, u"cmdOK"_s);
        QTest::mouseClick(child<QPushButton>(&editor, u"cmdSave"_s), Qt::LeftButton);
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(editor.savedFileName(), Reiwa7);
        QVERIFY(m_fakes->messageBox.shown.isEmpty());
        WinningData corrected;
        QVERIFY(modNengajo::ReadDataFile(Reiwa7, corrected));
        QCOMPARE(corrected.prizeClass(2).number(1), u"2833"_s);
        QCOMPARE(corrected.drawDate, QDate(2025, 1, 20));
    }

    // キャンセル in the confirmation, No to replacing a file, and a folder
    // that cannot be written each go back to the fields with nothing written.
    void savingGoesBack_data()
    {
        QTest::addColumn<QString>("confirmWith");
        QTest::addColumn<bool>("replace"); // the year of the file in force
        QTest::addColumn<bool>("dataFolderGone");
        QTest::addColumn<QList<Shown>>("boxes");

        QTest::newRow("cancel in the confirmation") << u"cmdCancel"_s << false << false << QList<Shown> {};
        QTest::newRow("no to replacing")
            << u"cmdOK"_s << true << false
            << QList<Shown> {{u"Harovan"_s,
                   u"当選番号データ\"年賀状（令和8年度版）\"はすでにあります。\r\n新しい内容で置き換えますか？"_s,
                   MessageBox::Icon::Warning, MessageBox::Buttons::YesNo}};
        QTest::newRow("data folder gone")
            << u"cmdOK"_s << false << true
            << QList<Shown> {{u"Harovan"_s,
                   u"当選番号データを保存できませんでした。\r\n保存先のフォルダーに書き込めるか確かめてください。\r\n\r\n"_s
                       + u"%1"_s,
                   MessageBox::Icon::Critical, MessageBox::Buttons::Ok}};
    }
    void savingGoesBack()
    {
        QFETCH(QString, confirmWith);
        QFETCH(bool, replace);
        QFETCH(bool, dataFolderGone);
        m_fakes->messageBox.answers = {MessageBox::Answer::No};
        frmDataEdit editor(m_state->data.winningData());
        editor.show();
        typeNewDraw(&editor);
        if (replace)
            typeInto(&editor, u"txtYear"_s, u"8"_s);
        if (dataFolderGone)
            QVERIFY(QDir(m_folder->dataPath()).removeRecursively());
        const QMap<QString, QByteArray> before = testsupport::snapshot(m_folder->path());

        answerConfirmation(&editor, confirmWith);
        QTest::mouseClick(child<QPushButton>(&editor, u"cmdSave"_s), Qt::LeftButton);
        QVERIFY(editor.isVisible());
        QVERIFY(editor.savedFileName().isEmpty());
        QFETCH(QList<Shown>, boxes);
        for (Shown &box : boxes)
            box.text = box.text.replace(u"%1"_s, m_folder->dataPath());
        QCOMPARE(m_fakes->messageBox.shown, boxes);
        QCOMPARE(testsupport::snapshot(m_folder->path()), before);
        QCOMPARE(child<QPlainTextEdit>(&editor, u"txtNumbers_2"_s)->toPlainText(), u"12 34 56"_s);
    }

    // Yes to replacing: the file of that name holds the new numbers.
    void replacingAfterYes()
    {
        frmDataEdit editor(m_state->data.winningData());
        typeNewDraw(&editor);
        typeInto(&editor, u"txtYear"_s, u"8"_s);
        answerConfirmation(&editor, u"cmdOK"_s);
        QTest::mouseClick(child<QPushButton>(&editor, u"cmdSave"_s), Qt::LeftButton);
        QCOMPARE(m_fakes->messageBox.shown.size(), 1);
        QCOMPARE(editor.savedFileName(), Reiwa8);
        QVERIFY(testsupport::fileBytes(m_folder->dataPath(Reiwa8)).contains("<number>5678</number>"));
    }

    // 結果を貼り付け reads the clipboard into the fields and tells at a class
    // why it stayed empty; Ctrl+Shift+V with nothing recognised changes
    // nothing; nothing is written until 保存.
    void pasteResults()
    {
        frmDataEdit editor(m_state->data.winningData());
        editor.show();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        const QMap<QString, QByteArray> before = testsupport::snapshot(m_folder->path());
        const auto numbers
            = [&editor](int k) { return child<QPlainTextEdit>(&editor, u"txtNumbers_%1"_s.arg(k))->toPlainText(); };
        const auto summary = [&editor] { return child<QLabel>(&editor, u"lblPasteResult"_s)->text(); };
        QGuiApplication::clipboard()->setText(u"1等\t455756\n2等\t下4けた 455756"_s);
        QTest::mouseClick(child<QPushButton>(&editor, u"cmdPasteResults"_s), Qt::LeftButton);
        QCOMPARE((QStringList {numbers(0), numbers(1)}), (QStringList {u"455756"_s, QString()}));
        QCOMPARE(
            problemAt(&editor, u"txtNumbers_1"_s), u"下4桁とありますが「455756」は6桁のため、読み取りませんでした"_s);
        QCOMPARE(summary(),
            u"１等を読み取りました。２等は読み取れませんでした（理由は欄の下にあります）。番号を確かめてから保存してください。"_s);
        // Typed there, the field is judged as the editor judges it.
        typeInto(&editor, u"txtNumbers_1"_s, u"5037"_s);
        QCOMPARE(problemAt(&editor, u"txtNumbers_1"_s), QString());

        QGuiApplication::clipboard()->setText(u"今日の天気は晴れ、最高気温は12度です。"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(numbers(0), u"455756"_s);
        QCOMPARE(summary(),
            u"当選番号を読み取れませんでした。発表された当選番号の表や記事をコピーしてから、もう一度押してください。"_s);
        QCOMPARE(testsupport::snapshot(m_folder->path()), before);
        editor.hide();
    }

    // Every problem line wraps inside the window, the fields are whole
    // without scrolling sideways, and the window is whole on a 1280×800
    // screen at every text size.
    void problemsWrapInsideTheWindow_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("標準") << TextSize::Standard;
        QTest::newRow("大") << TextSize::Large;
        QTest::newRow("特大") << TextSize::ExtraLarge;
    }
    void problemsWrapInsideTheWindow()
    {
        QFETCH(int, size);
        TextSize::choose(size);
        // Opened over a window, as the menu opens it: its room is that inside its frame.
        QWidget owner;
        owner.show();
        frmDataEdit editor(m_state->data.winningData(), &owner);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        typeInto(&editor, u"txtDrawDate"_s, u"2027/1/17"_s);
        typeInto(&editor, u"txtExchangeFrom"_s, u"2027/1/10"_s);
        typeInto(&editor, u"txtExchangeTo"_s, u"2027/1/5"_s);
        QGuiApplication::clipboard()->setText(u"2等 下4けた 455756"_s);
        QTest::mouseClick(child<QPushButton>(&editor, u"cmdPasteResults"_s), Qt::LeftButton);
        QCOMPARE(problemAt(&editor, u"txtExchangeFrom"_s), u"引換の始まりが抽せん日より前になっています"_s);

        const auto whole = [&editor](const QLabel *label) {
            const QRect inWindow(label->mapTo(&editor, QPoint()), label->size());
            return label->wordWrap() && inWindow.right() < editor.width()
                && label->heightForWidth(label->width()) <= label->height();
        };
        for (const QString &name : {u"lblPasteResult"_s, u"lblCheck_txtNumbers_1"_s, u"lblCheck_txtExchangeFrom"_s,
                 u"lblCheck_txtExchangeTo"_s})
            QTRY_VERIFY2(whole(child<QLabel>(&editor, name)), qPrintable(name));
        const auto *fields = child<QScrollArea>(&editor, u"fields"_s);
        QVERIFY(!fields->horizontalScrollBar()->isVisible());
        QVERIFY(editor.screen()->availableGeometry().contains(editor.frameGeometry()));
        editor.hide();
    }
};

QTEST_MAIN(tst_frmDataEdit)
#include "tst_frmdataedit.moc"
