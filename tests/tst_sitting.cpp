#include "fakeservices.h"
#include "testsupport.h"

#include "core/AtariBook.h"
#include "core/AtariCalendar.h"
#include "core/CheckRecord.h"
#include "core/Reminder.h"
#include "core/SaveJob.h"
#include "core/Settings.h"
#include "ui/Fonts.h"
#include "ui/Placement.h"
#include "ui/PrintJob.h"
#include "ui/TextSize.h"
#include "ui/frmAtariList.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTableView>

#include <algorithm>
#include <memory>

namespace {

// 1等 109681, 2等 6417, 3等 73 42 11.
const QString Reiwa5 = QStringLiteral("年賀状（令和5年度版）");
// 1等 394372, 2等 1879, 3等 71 69 00.
const QString Reiwa6 = QStringLiteral("年賀状（令和6年度版）");
// 1等 455756 with three goods to choose from, the longest of the bundled files.
const QString Reiwa8 = QStringLiteral("年賀状（令和8年度版）");
// Prizes to be exchanged by 2026-07-21, 177 days after the fake clock's day.
const QString Dated = QStringLiteral("dated.xml");
const QString Undated = QStringLiteral("undated.xml");
const QByteArray DatedXml = R"(<?xml version="1.0" encoding="UTF-8"?>
<tousen xmlns="urn:tousen" type="年賀状" year="令和8" drawDate="2026-01-18" exchangeFrom="2026-01-19" exchangeTo="2026-07-21">
  <toukyu name="1等"><number>455756</number><syouhin>現金30万円</syouhin><syouhin>切手集と現金20万円</syouhin></toukyu>
  <toukyu name="2等"><number>5037</number><syouhin>ふるさと小包など</syouhin></toukyu>
  <toukyu name="3等"><number>73</number><number>44</number><number>84</number><syouhin>お年玉切手シート</syouhin></toukyu>
</tousen>
)";
// Ten cards of that draw: a 3等 on two digits (the third card), a 2等 on six
// digits (the fifth), and eight losses, one of them in the upper stage.
const QStringList TenCards {"99", "12", "73", "05", "371250", "560000", "20", "31", "48", "66"};

} // namespace

// The sitting's cards as the main window records them, and the list of won
// cards that follows it on screen, in a CSV file and on paper.
class tst_Sitting : public testsupport::WindowTest
{
    Q_OBJECT

private:
    std::unique_ptr<frmMain> m_window;

    QString labelText(const QString &name) const { return m_window->findChild<QLabel *>(name)->text(); }

    // Types into the main window's entry, even while another window is active.
    void typeKeys(const QString &keys)
    {
        for (const QChar c : keys)
            QTest::keyClick(m_window->focusWidget(), c.toLatin1());
    }

    frmAtariList *openList()
    {
        m_window->findChild<QAction *>(QStringLiteral("mnuShowAtari"))->trigger();
        auto *list = m_window->findChild<frmAtariList *>();
        // Active as the application sees it: keys go to its focus and shortcuts.
        if (list && !QTest::qWaitFor([list] { return list->isActiveWindow(); }))
            return nullptr;
        return list;
    }

    // The table as "order|number|class|goods|exchanged|sender" lines.
    static QStringList tableRows(const frmAtariList &list)
    {
        const auto *model = list.findChild<QTableView *>(QStringLiteral("lstAtari"))->model();
        QStringList rows;
        for (int r = 0; r < model->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < model->columnCount(); ++c)
                cells.append(model->index(r, c).data().toString());
            rows.append(cells.join(u'|'));
        }
        return rows;
    }

    // The grey level (0 black) of the darkest pixel of a row's number as the table paints it.
    static int darkestInk(const frmAtariList &list, int row)
    {
        auto *table = list.findChild<QTableView *>(QStringLiteral("lstAtari"));
        table->clearSelection();
        const QImage image = table->viewport()->grab().toImage();
        const QRect cell = table->visualRect(table->model()->index(row, 1));
        int darkest = 255;
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            for (int x = cell.left(); x <= cell.right(); ++x)
                darkest = std::min(darkest, qGray(image.pixel(QPoint(x, y) * image.devicePixelRatio())));
        }
        return darkest;
    }

    // The program as main.cpp starts it: the data file of settings.ini loaded,
    // the window shown, then the book opened and the reminder asked.
    // showList: started with --show-list.
    void startProgram(bool showList = false)
    {
        newProgramState();
        m_window = std::make_unique<frmMain>(*m_state);
        QVERIFY(m_window->Form_Load());
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_window->remindAtStartUp(showList);
    }

    void quitProgram()
    {
        QVERIFY(m_window->close());
        m_window.reset();
    }

    QString bookPath() const { return m_folder->path() + QStringLiteral("atari.db"); }

private slots:
    void initTestCase() { Fonts::installSubstitutions(); }

    void init()
    {
        startWindowTest();
        QVERIFY(m_folder->addSchema());
        for (const QString &name : {Reiwa5, Reiwa6, Reiwa8})
            QVERIFY(m_folder->addData(testsupport::bundledPath(name + QStringLiteral(".xml"))));
        QVERIFY(m_folder->writeData(Dated, DatedXml));
        // The same numbers a year earlier, without an exchange period.
        QByteArray undated = DatedXml;
        undated.replace(R"(year="令和8" drawDate="2026-01-18" exchangeFrom="2026-01-19" exchangeTo="2026-07-21")",
            R"(year="令和7")");
        QVERIFY(m_folder->writeData(Undated, undated));
        QCOMPARE(m_state->data.LoadDataFile(Reiwa5 + QStringLiteral(".xml")).status, 0);
        m_window = std::make_unique<frmMain>(*m_state);
        m_window->ShowTypeCaption();
        m_window->AllClear();
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup()
    {
        m_window.reset();
        endWindowTest();
    }

    void cardsTheWindowRecords_data()
    {
        QTest::addColumn<QStringList>("steps"); // digits typed, or "clear", "up", "down", "load <card type>"
        QTest::addColumn<QList<CheckedCard>>("expected");
        QTest::addColumn<QString>("checkCount");

        using Cards = QList<CheckedCard>;
        QTest::newRow("a loss") << QStringList {"99"} << Cards {{"****99", 0}} << "1";
        QTest::newRow("a two-digit hit") << QStringList {"73"} << Cards {{"****73", 3}} << "1";
        QTest::newRow("a two-stage hit") << QStringList {"811096"} << Cards {{"109681", 1}} << "1";
        QTest::newRow("a two-stage loss") << QStringList {"810000"} << Cards {{"000081", 0}} << "1";
        QTest::newRow("a card waiting for its upper digits is not recorded")
            << QStringList {"42", "17"} << Cards {{"****42", 3}} << "1";
        QTest::newRow("several cards in order")
            << QStringList {"99", "73", "170064", "811096", "42"}
            << Cards {{"****99", 0}, {"****73", 3}, {"006417", 2}, {"109681", 1}, {"****42", 3}} << "5";
        QTest::newRow("a clear") << QStringList {"99", "73", "clear", "11"} << Cards {{"****11", 3}} << "1";
        QTest::newRow("a load") << QStringList {"73", "811096", "load " + Reiwa6, "71", "723943"}
                                << Cards {{"****71", 3}, {"394372", 1}} << "2";
        QTest::newRow("the check count's own corrections leave the cards alone")
            << QStringList {"99", "up", "up", "73"} << Cards {{"****99", 0}, {"****73", 3}} << "4";
        QTest::newRow("a correction down takes no card off the list")
            << QStringList {"73", "99", "down", "down"} << Cards {{"****73", 3}, {"****99", 0}} << "0";
    }

    void cardsTheWindowRecords()
    {
        QFETCH(QStringList, steps);
        QFETCH(QList<CheckedCard>, expected);

        for (const QString &step : steps) {
            if (step == u"clear")
                m_window->findChild<QAction *>(QStringLiteral("mnuClear"))->trigger();
            else if (step == u"up")
                m_window->findChild<QAction *>(QStringLiteral("mnuUp"))->trigger();
            else if (step == u"down")
                m_window->findChild<QAction *>(QStringLiteral("mnuDown"))->trigger();
            else if (step.startsWith(QLatin1String("load ")))
                QVERIFY(m_window->useDataFile(step.mid(5) + QStringLiteral(".xml")));
            else
                typeKeys(step);
        }

        QCOMPARE(m_window->checkRecord().cards(), expected);
        QTEST(labelText(QStringLiteral("lblCheckCnt")), "checkCount");
        QVERIFY(m_fakes->messageBox.shown.isEmpty());
    }

    // What a user does at the end of a sitting: ten cards checked, two of them
    // won; the list shows the two with their prizes and the deadline, and
    // goes to a CSV file and to the printer (a PDF file).
    void tenCardsToThePostOffice()
    {
        QVERIFY(m_window->useDataFile(Dated));
        for (const QString &card : TenCards)
            typeKeys(card);

        frmAtariList *list = openList();
        QVERIFY(list);
        QVERIFY(!list->isModal());
        // Whole on the screen, beside the main window as far as the screen has room.
        const QRect screen = m_window->screen()->availableGeometry();
        QVERIFY(screen.contains(list->frameGeometry()));
        QCOMPARE(list->frameGeometry(),
            Placement::besideRect(m_window->frameGeometry(), list->frameGeometry().size(), screen));
        QCOMPARE(list->windowTitle(), QStringLiteral("当たったはがきの一覧"));
        QCOMPARE(
            list->findChild<QLabel *>(QStringLiteral("lblAtariType"))->text(), QStringLiteral("【年賀状 令和8年度】"));
        auto *kigen = list->findChild<QLabel *>(QStringLiteral("lblAtariKigen"));
        QCOMPARE(kigen->text(), QStringLiteral("賞品の引換は2026年7月21日まで（あと177日）"));
        // In the window's own text colour until the last two weeks.
        QCOMPARE(kigen->palette().color(QPalette::WindowText), list->palette().color(QPalette::WindowText));
        QCOMPARE(
            tableRows(*list), (QStringList {"1|****73|３等|お年玉切手シート||", "2|125037|２等|ふるさと小包など||"}));
        QCOMPARE(list->findChild<QLabel *>(QStringLiteral("lblAtariGoukei"))->text(),
            QStringLiteral("２等 1枚　３等 1枚　合計 2枚（未引換 2枚）"));

        const QString csvPath = m_folder->path() + QStringLiteral("当たり.csv");
        m_fakes->saveFileDialog.answer = csvPath;
        // An access key presses its button as a click does, a moment later.
        auto *save = list->findChild<SaveJob *>();
        QVERIFY(testsupport::waitForJob(save, [&] { QTest::keyClick(list, Qt::Key_S, Qt::AltModifier); }));
        QCOMPARE(m_fakes->saveFileDialog.asked.size(), 1);
        QCOMPARE(m_fakes->saveFileDialog.asked.first().at(3), QStringLiteral("csv"));
        QVERIFY(m_fakes->saveFileDialog.asked.first().at(1).endsWith(
            QStringLiteral("/当たったはがき（年賀状 令和8年度）.csv")));
        QFile csv(csvPath);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll(),
            QByteArray("\xEF\xBB\xBF"
                       "順番,番号,等級,賞品,引換,差出人\r\n"
                       "1,\"=\"\"****73\"\"\",３等,お年玉切手シート,,\r\n"
                       "2,\"=\"\"125037\"\"\",２等,ふるさと小包など,,\r\n"));

        const QString pdfPath = m_folder->path() + QStringLiteral("当たり.pdf");
        m_fakes->printDialog.onSetUp = [&](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdfPath);
            return true;
        };
        QVERIFY(testsupport::waitForJob(
            list->findChild<PrintJob *>(), [&] { QTest::keyClick(list, Qt::Key_P, Qt::AltModifier); }));
        QCOMPARE(m_fakes->printDialog.shown, 1);
        QFile pdf(pdfPath);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray document = pdf.readAll();
        QVERIFY(document.startsWith("%PDF"));
        QCOMPARE(QString::fromLatin1(document).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))), 1);
        QVERIFY(m_fakes->messageBox.shown.isEmpty());

        m_fakes->clock.date = QDate(2026, 7, 10);
        list->refresh();
        QCOMPARE(kigen->palette().color(QPalette::WindowText).rgb() & 0xFFFFFF, 0xC00000u);
    }

    // The open list follows every judged card, the "はずれも表示" box, a clear
    // and a load.
    void listFollowsTheSitting()
    {
        QVERIFY(m_window->useDataFile(Dated));
        frmAtariList *list = openList();
        QVERIFY(list);
        auto *saveCsv = list->findChild<QPushButton *>(QStringLiteral("cmdSaveCsv"));
        QVERIFY(tableRows(*list).isEmpty());
        QVERIFY(!saveCsv->isEnabled());

        typeKeys(QStringLiteral("99"));
        typeKeys(QStringLiteral("84"));
        QCOMPARE(tableRows(*list), QStringList {"1|****84|３等|お年玉切手シート||"});
        QVERIFY(saveCsv->isEnabled());

        list->findChild<QCheckBox *>(QStringLiteral("chkAll"))->click();
        typeKeys(QStringLiteral("560000"));
        QCOMPARE(tableRows(*list),
            (QStringList {"1|****99|はずれ|||", "2|****84|３等|お年玉切手シート||", "3|000056|はずれ|||"}));
        // The lost cards stand back in greyed text.
        QVERIFY2(darkestInk(*list, 0) > darkestInk(*list, 1) + 60,
            qPrintable(QStringLiteral("%1 against %2").arg(darkestInk(*list, 0)).arg(darkestInk(*list, 1))));

        // A clear ends the sitting; its won card stays in the book.
        m_window->findChild<QAction *>(QStringLiteral("mnuClear"))->trigger();
        QCOMPARE(tableRows(*list), QStringList {"1|****84|３等|お年玉切手シート||"});
        QCOMPARE(list->findChild<QLabel *>(QStringLiteral("lblAtariGoukei"))->text(),
            QStringLiteral("３等 1枚　合計 1枚（未引換 1枚）"));

        typeKeys(QStringLiteral("73"));
        QVERIFY(m_window->useDataFile(Undated));
        QVERIFY(tableRows(*list).isEmpty());
        QCOMPARE(
            list->findChild<QLabel *>(QStringLiteral("lblAtariType"))->text(), QStringLiteral("【年賀状 令和7年度】"));
        QVERIFY(list->findChild<QLabel *>(QStringLiteral("lblAtariKigen"))->isHidden());
        typeKeys(QStringLiteral("73"));
        QCOMPARE(tableRows(*list), QStringList {"1|****73|３等|お年玉切手シート||"});
    }

    // A user checks cards one day and quits; eleven days before the deadline
    // the program asks at its start, shows the won cards, one is marked and a
    // sender written on another; started again that day it asks nothing and
    // lists both as they were left.
    void bookFromSittingToSitting()
    {
        QVERIFY(m_window->useDataFile(Dated));
        for (const QString &card : TenCards)
            typeKeys(card);
        quitProgram();
        // The first close with won cards asks once about the login reminder.
        QCOMPARE(m_fakes->messageBox.shown.size(), 1);
        QCOMPARE(m_fakes->messageBox.shown.first().text, Reminder::LoginReminderQuestion);
        m_fakes->messageBox.shown.clear();

        m_fakes->clock.date = QDate(2026, 7, 10);
        startProgram();
        QCOMPARE(m_fakes->messageBox.shown.size(), 1);
        const platform::FakeMessageBox::Shown asked = m_fakes->messageBox.shown.first();
        QCOMPARE(asked.title, QStringLiteral("Harovan"));
        QCOMPARE(asked.text,
            QStringLiteral("引換がまだの当たりはがきが2枚あります。\r\n賞品の引換は2026年7月21日まで（あと11日）です。"
                           "\r\n一覧を表示しますか？"));
        QCOMPARE(asked.icon, platform::MessageBox::Icon::Question);
        QCOMPARE(asked.buttons, platform::MessageBox::Buttons::YesNo);
        auto *list = m_window->findChild<frmAtariList *>();
        QVERIFY(list && list->isVisible());
        QCOMPARE(
            tableRows(*list), (QStringList {"1|****73|３等|お年玉切手シート||", "2|125037|２等|ふるさと小包など||"}));

        QVERIFY(QTest::qWaitFor([list] { return list->isActiveWindow(); }));
        auto *table = list->findChild<QTableView *>(QStringLiteral("lstAtari"));
        table->setFocus();
        table->selectRow(1);
        QTest::keyClick(list, Qt::Key_K, Qt::AltModifier);
        QTRY_COMPARE(tableRows(*list).at(1), QStringLiteral("2|125037|２等|ふるさと小包など|済|"));
        table->selectRow(0);
        QTest::keyClick(table, Qt::Key_F2);
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->setText(QStringLiteral("田中さん"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(tableRows(*list).at(0), QStringLiteral("1|****73|３等|お年玉切手シート||田中さん"));
        QCOMPARE(list->findChild<QLabel *>(QStringLiteral("lblAtariGoukei"))->text(),
            QStringLiteral("２等 1枚　３等 1枚　合計 2枚（未引換 1枚）"));
        quitProgram();

        // Started again that day: no question and no list; with --show-list, the list.
        startProgram();
        QCOMPARE(m_fakes->messageBox.shown.size(), 1);
        QVERIFY(!m_window->findChild<frmAtariList *>());
        quitProgram();
        startProgram(true);
        QCOMPARE(m_fakes->messageBox.shown.size(), 1);
        list = m_window->findChild<frmAtariList *>();
        QVERIFY(list && list->isVisible());
        QCOMPARE(tableRows(*list),
            (QStringList {"1|****73|３等|お年玉切手シート||田中さん", "2|125037|２等|ふるさと小包など|済|"}));
    }

    // harovan --show-list (the login reminder's 一覧を表示) shows the won cards
    // of the draw due, whose data are put in force, whether the program starts
    // with it or a later start hands it to the program running.
    void listAskedFor_data()
    {
        QTest::addColumn<QString>("when");
        QTest::newRow("started with --show-list") << QStringLiteral("start");
        QTest::newRow("handed to the program running") << QStringLiteral("running");
        // Only the window comes forward; the list follows, and nothing typed is lost.
        QTest::newRow("handed over under a modal dialog") << QStringLiteral("dialog");
        QTest::newRow("handed over while the upper four digits are awaited") << QStringLiteral("upper digits");
    }
    void listAskedFor()
    {
        QFETCH(QString, when);
        QVERIFY(m_window->useDataFile(Dated));
        typeKeys(QStringLiteral("73"));
        QVERIFY(m_window->useDataFile(Undated));
        const AtariDraw undated = AtariDraw::of(m_state->data.winningData());
        m_fakes->clock.date = QDate(2026, 7, 10);
        if (when == QStringLiteral("start")) {
            m_window->remindAtStartUp(true);
        } else {
            // Asked about at today's start already: no question, no list.
            QVERIFY(Settings::setReminded(m_fakes->clock.date));
            m_window->remindAtStartUp();
            QVERIFY(!m_window->findChild<frmAtariList *>());
            QDialog dialog(m_window.get());
            if (when == QStringLiteral("dialog")) {
                dialog.open();
                QTRY_COMPARE(QApplication::activeModalWidget(), &dialog);
            } else if (when == QStringLiteral("upper digits")) {
                // 2等 5037 ends with 37.
                typeKeys(QStringLiteral("37"));
            }
            m_window->laterStart(true, {});
            if (when != QStringLiteral("running")) {
                QVERIFY(!m_window->findChild<frmAtariList *>());
                QCOMPARE(m_state->data.winningData().strFileName, Undated);
            }
            if (when == QStringLiteral("dialog"))
                dialog.reject();
            else if (when == QStringLiteral("upper digits"))
                typeKeys(QStringLiteral("1250"));
            QTRY_VERIFY(m_window->findChild<frmAtariList *>());
            if (when == QStringLiteral("upper digits"))
                QCOMPARE(m_window->atariBook().cards(undated).size(), 1);
        }
        QVERIFY(m_fakes->messageBox.shown.isEmpty());
        QCOMPARE(m_state->data.winningData().strFileName, Dated);
        auto *list = m_window->findChild<frmAtariList *>();
        QVERIFY(list && list->isVisible());
        QCOMPARE(tableRows(*list), QStringList {"1|****73|３等|お年玉切手シート||"});
    }

    // 引換 reads 取り消す when every chosen card is marked and takes the marks
    // back; 削除 and the Delete key ask first; a double-click writes the sender.
    void listMarksAndDeletes()
    {
        QVERIFY(m_window->useDataFile(Dated));
        for (const char *card : {"73", "99", "84"})
            typeKeys(QString::fromLatin1(card));
        frmAtariList *list = openList();
        QVERIFY(list);
        auto *table = list->findChild<QTableView *>(QStringLiteral("lstAtari"));
        auto *koukan = list->findChild<QPushButton *>(QStringLiteral("cmdKoukan"));
        auto *remove = list->findChild<QPushButton *>(QStringLiteral("cmdDelete"));
        auto *totals = list->findChild<QLabel *>(QStringLiteral("lblAtariGoukei"));
        QVERIFY(!koukan->isEnabled() && !remove->isEnabled());

        table->selectRow(0);
        QVERIFY(koukan->isEnabled() && remove->isEnabled());
        QCOMPARE(koukan->text(), QStringLiteral("引換済にする(&K)"));
        koukan->click();
        QCOMPARE(koukan->text(), QStringLiteral("引換済を取り消す(&K)"));
        table->selectAll();
        QCOMPARE(koukan->text(), QStringLiteral("引換済にする(&K)"));
        koukan->click();
        QCOMPARE(tableRows(*list),
            (QStringList {"1|****73|３等|お年玉切手シート|済|", "2|****84|３等|お年玉切手シート|済|"}));
        QCOMPARE(totals->text(), QStringLiteral("３等 2枚　合計 2枚"));
        QCOMPARE(koukan->text(), QStringLiteral("引換済を取り消す(&K)"));
        koukan->click();
        QCOMPARE(totals->text(), QStringLiteral("３等 2枚　合計 2枚（未引換 2枚）"));

        const QRect cell = table->visualRect(table->model()->index(1, 1));
        // A double-click arrives as the press of its second click and the double-click.
        QTest::mousePress(table->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->setText(QStringLiteral("鈴木"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(m_window->atariBook().cards(AtariDraw::of(m_state->data.winningData())).at(1).strSender,
            QStringLiteral("鈴木"));

        table->setFocus();
        table->selectRow(0);
        m_fakes->messageBox.answers = {platform::MessageBox::Answer::No};
        remove->click();
        QCOMPARE(m_fakes->messageBox.shown.size(), 1);
        QCOMPARE(m_fakes->messageBox.shown.first().text, QStringLiteral("選んだはがきを一覧から削除しますか？"));
        QCOMPARE(m_fakes->messageBox.shown.first().buttons, platform::MessageBox::Buttons::YesNo);
        QCOMPARE(tableRows(*list).size(), 2);
        QTest::keyClick(table, Qt::Key_Delete);
        QCOMPARE(m_fakes->messageBox.shown.size(), 2);
        QCOMPARE(tableRows(*list), QStringList {"1|****84|３等|お年玉切手シート||鈴木"});
        QCOMPARE(totals->text(), QStringLiteral("３等 1枚　合計 1枚（未引換 1枚）"));
        // The sitting's counts are its own: a card deleted from the book is still counted.
        QCOMPARE(labelText(QStringLiteral("lblGoukeiCnt")), QStringLiteral("2"));
        // カレンダーに登録 follows the cards left to exchange.
        auto *calendar = list->findChild<QPushButton *>(QStringLiteral("cmdCalendar"));
        QVERIFY(calendar->isEnabled());
        table->selectRow(0);
        remove->click();
        QVERIFY(!calendar->isEnabled());
        typeKeys(QStringLiteral("73"));
        QVERIFY(calendar->isEnabled());
    }

    // A file that is not a book: told once, checking goes on and the list
    // shows the sitting's won cards; refused, the file is left as it is; at a
    // later start, agreed to, it is kept under another name and a new book begins.
    void bookThatCannotBeUsed()
    {
        const QByteArray notABook("not a database, but the user's file");
        QFile file(bookPath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(notABook) == notABook.size());
        file.close();
        QVERIFY(m_window->useDataFile(Dated));
        m_fakes->messageBox.answers = {platform::MessageBox::Answer::No};
        typeKeys(QStringLiteral("73"));
        QTRY_COMPARE(m_fakes->messageBox.shown.size(), 1);
        const QDate today = m_fakes->clock.today();
        QCOMPARE(m_fakes->messageBox.shown.first().text,
            m_window->atariBook().message() + QStringLiteral("\r\n\r\n")
                + m_window->atariBook().newBookQuestion(today));
        QVERIFY(m_fakes->messageBox.shown.first().text.contains(QStringLiteral("Harovanの記録ではないファイルです")));
        typeKeys(QStringLiteral("84"));
        typeKeys(QStringLiteral("99"));
        // The book tells its state through the event queue: once it is
        // empty, every box these cards could bring has come.
        QCoreApplication::sendPostedEvents();
        QCOMPARE(m_fakes->messageBox.shown.size(), 1);
        QCOMPARE(labelText(QStringLiteral("lblGoukeiCnt")), QStringLiteral("2"));
        QCOMPARE(labelText(QStringLiteral("lblInform")), QStringLiteral("はずれです...次の番号を入力してください"));
        frmAtariList *list = openList();
        QVERIFY(list);
        QCOMPARE(
            tableRows(*list), (QStringList {"1|****73|３等|お年玉切手シート||", "2|****84|３等|お年玉切手シート||"}));
        QVERIFY(!list->findChild<QPushButton *>(QStringLiteral("cmdKoukan"))->isEnabled());
        quitProgram();
        QCOMPARE(testsupport::snapshot(m_folder->path()).value(QStringLiteral("atari.db")), notABook);

        startProgram();
        QCOMPARE(m_fakes->messageBox.shown.size(), 2);
        QCOMPARE(m_fakes->messageBox.shown.last().text, m_fakes->messageBox.shown.first().text);
        typeKeys(QStringLiteral("73"));
        QCOMPARE(m_window->atariBook().cards(AtariDraw::of(m_state->data.winningData())).size(), 1);
        QCOMPARE(testsupport::snapshot(m_folder->path()).value(QStringLiteral("atari.db.damaged-20260125")), notABook);
    }

    // 順番 heads a column of its own, and a 1等 card's goods show whole in the
    // window as it first opens at the standard text size.
    void columnsShowTheirTexts()
    {
        QVERIFY(m_window->useDataFile(Reiwa8 + QStringLiteral(".xml")));
        typeKeys(QStringLiteral("99"));
        typeKeys(QStringLiteral("564557"));
        frmAtariList list(m_window->atariBook(), m_window->checkRecord(), m_state->data);
        auto *table = list.findChild<QTableView *>(QStringLiteral("lstAtari"));
        const QAbstractItemModel *model = table->model();
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("順番"));
        QVERIFY(table->verticalHeader()->isHidden());
        QCOMPARE(tableRows(list),
            QStringList {"1|455756|１等|現金30万円／EJOICAセレクトギフト（電子マネー）31万円分／"
                         "2025年発行特殊切手集と現金20万円（いずれか1点）||"});

        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const QModelIndex goods = model->index(0, 3);
        QVERIFY(table->columnWidth(3) > table->fontMetrics().horizontalAdvance(goods.data().toString()));
        QVERIFY(table->viewport()->rect().contains(table->visualRect(goods)));
        // Larger, on 1280×800: the window on the screen and every column in sight, the goods cut short.
        for (const int percent : {TextSize::Large, TextSize::ExtraLarge}) {
            TextSize::choose(percent);
            const bool inSight = list.screen()->availableGeometry().contains(list.frameGeometry())
                && table->columnViewportPosition(5) + table->columnWidth(5) <= table->viewport()->width();
            TextSize::choose(TextSize::Standard);
            QVERIFY2(inSight, qPrintable(QString::number(percent)));
        }
    }

    // The list is read at arm's length at the post office: at a large desktop
    // text size its table grows with the text; below the size it was designed
    // at, it keeps its size.
    void listGrowsWithTheDesktopText()
    {
        const QFont previous = QApplication::font();
        CheckRecord record;
        const DataInForce data;
        AtariBook book(m_folder->path() + QStringLiteral("atari.db"));
        const auto tableWidth = [&book, &record, &data, &previous](qreal desktopPoints) {
            QFont desktop = previous;
            desktop.setPointSizeF(desktopPoints);
            QApplication::setFont(desktop);
            const frmAtariList list(book, record, data);
            return list.findChild<QTableView *>(QStringLiteral("lstAtari"))->minimumWidth();
        };
        const int designed = tableWidth(9);
        const int smaller = tableWidth(7);
        const int large = tableWidth(18);
        QApplication::setFont(previous);
        QCOMPARE(smaller, designed);
        QVERIFY2(large * 10 >= designed * 18, qPrintable(QStringLiteral("%1 against %2").arg(large).arg(designed)));
    }

    // A read-only book: 引換済にする and 削除 stay grey and say why, and the
    // sender asked for is refused in words.
    void listOfAReadOnlyBook()
    {
        const QString path = m_folder->path() + QStringLiteral("atari.db");
        const WinningData data;
        QCOMPARE(AtariBook(path).add(AtariDraw::of(data), QStringLiteral("455756"), 1, QStringLiteral("現金")),
            AtariBook::Added::Added);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        AtariBook book(path);
        CheckRecord record;
        DataInForce inForce;
        inForce.setWinningData(data);
        frmAtariList list(book, record, inForce);
        auto *table = list.findChild<QTableView *>(QStringLiteral("lstAtari"));
        auto *koukan = list.findChild<QPushButton *>(QStringLiteral("cmdKoukan"));
        table->selectRow(0);
        QVERIFY(!koukan->isEnabled() && !list.findChild<QPushButton *>(QStringLiteral("cmdDelete"))->isEnabled());
        const QString why
            = QStringLiteral("当たったはがきの記録（atari.db）に書き込めません。書き込みが許可されていません。");
        QCOMPARE(koukan->toolTip(), why);
        QTest::keyClick(table, Qt::Key_F2);
        QCOMPARE(m_fakes->messageBox.shown.value(0).text, why);
    }

    // カレンダーに登録 is there for a deadline to come (none left to exchange: listMarksAndDeletes).
    void calendarButton_data()
    {
        QTest::addColumn<QString>("dataFile");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("no exchange period") << Undated << QDate(2026, 1, 25) << false;
        QTest::newRow("the exchange period has ended") << Dated << QDate(2026, 7, 22) << false;
        QTest::newRow("its last day") << Dated << QDate(2026, 7, 21) << true;
        QTest::newRow("one left to exchange") << Dated << QDate(2026, 1, 25) << true;
    }
    void calendarButton()
    {
        QFETCH(QString, dataFile);
        QFETCH(QDate, today);
        QFETCH(bool, enabled);
        QVERIFY(m_window->useDataFile(dataFile));
        typeKeys(QStringLiteral("73"));
        m_fakes->clock.date = today;
        frmAtariList *list = openList();
        QVERIFY(list);
        QCOMPARE(list->findChild<QPushButton *>(QStringLiteral("cmdCalendar"))->isEnabled(), enabled);
    }

    // The deadline saved where the user says, as the calendar file of the
    // draw's cards; a failure told over the list, and nothing written.
    void calendarSaved()
    {
        QVERIFY(m_window->useDataFile(Dated));
        for (const QString &card : TenCards)
            typeKeys(card);
        frmAtariList *list = openList();
        QVERIFY(list);
        const QString path = m_folder->path() + QStringLiteral("予定.ics");
        m_fakes->saveFileDialog.answer = path;
        auto *save = list->findChild<SaveJob *>();
        auto *calendar = list->findChild<QPushButton *>(QStringLiteral("cmdCalendar"));
        QVERIFY(testsupport::waitForJob(save, [&] { calendar->click(); }));
        QVERIFY(m_fakes->saveFileDialog.asked.first().at(1).endsWith(
            QStringLiteral("/お年玉賞品の引換期限（年賀状 令和8年度）.ics")));
        const QByteArray bytes = testsupport::fileBytes(path);
        const qsizetype at = bytes.indexOf("\r\nDTSTAMP:") + 10;
        QDateTime stamp
            = QDateTime::fromString(QString::fromLatin1(bytes.mid(at, 15)), QStringLiteral("yyyyMMdd'T'HHmmss"));
        stamp.setTimeSpec(Qt::UTC);
        const AtariDraw draw = AtariDraw::of(m_state->data.winningData());
        QCOMPARE(bytes, AtariCalendar::IcsBytes(draw, m_window->atariBook().cards(draw), stamp));
        QVERIFY(m_fakes->messageBox.shown.isEmpty());

        const QMap<QString, QByteArray> before = testsupport::snapshot(m_folder->path());
        m_fakes->saveFileDialog.answer = m_folder->path() + QStringLiteral("missing/予定.ics");
        QVERIFY(testsupport::waitForJob(save, [&] { calendar->click(); }));
        QCOMPARE(m_fakes->messageBox.owners, QList<QWidget *> {list});
        QVERIFY(m_fakes->messageBox.shown.first().text.startsWith(QStringLiteral("ファイル \"")
            + m_fakes->saveFileDialog.answer + QStringLiteral("\" に保存できませんでした。")));
        QCOMPARE(testsupport::snapshot(m_folder->path()).keys(), before.keys());
    }

    // Every control by Tab and access key, Esc, dialogs cancelled or failing,
    // and the list closing with the program.
    void keyboardAndDialogs()
    {
        QVERIFY(m_window->useDataFile(Dated));
        typeKeys(QStringLiteral("73"));
        frmAtariList *list = openList();
        QVERIFY(list);
        QWidget *table = list->findChild<QTableView *>(QStringLiteral("lstAtari"));
        // 引換 and 削除 act on the cards chosen: with one chosen they are reached too.
        static_cast<QTableView *>(table)->selectRow(0);
        QList<QWidget *> reached;
        for (int i = 0; i < 8; ++i) {
            reached.append(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QVERIFY(reached.contains(table));
        QVERIFY(reached.contains(list->findChild<QCheckBox *>(QStringLiteral("chkAll"))));
        QList<QChar> keys;
        for (const char *name : {"cmdKoukan", "cmdDelete", "cmdSaveCsv", "cmdPrint", "cmdCalendar", "cmdClose"}) {
            auto *button = list->findChild<QPushButton *>(QString::fromLatin1(name));
            QVERIFY(reached.contains(button));
            const qsizetype amp = button->text().indexOf(u'&');
            QVERIFY2(amp >= 0 && !keys.contains(button->text().at(amp + 1)), name);
            keys.append(button->text().at(amp + 1));
        }

        // Cancelled dialogs leave nothing behind and say nothing.
        QTest::keyClick(list, Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(m_fakes->saveFileDialog.asked.size(), 1);
        QTest::keyClick(list, Qt::Key_R, Qt::AltModifier);
        QTRY_COMPARE(m_fakes->saveFileDialog.asked.size(), 2);
        QTest::keyClick(list, Qt::Key_P, Qt::AltModifier);
        QTRY_COMPARE(m_fakes->printDialog.shown, 1);
        QVERIFY(m_fakes->messageBox.shown.isEmpty());
        const QString path = m_folder->path() + QStringLiteral("missing/当たり.csv");
        m_fakes->saveFileDialog.answer = path;
        QVERIFY(testsupport::waitForJob(list->findChild<SaveJob *>(),
            [&] { list->findChild<QPushButton *>(QStringLiteral("cmdSaveCsv"))->click(); }));
        QCOMPARE(m_fakes->messageBox.shown.size(), 1);
        QCOMPARE(m_fakes->messageBox.shown.first().title, QStringLiteral("Harovan"));
        QCOMPARE(m_fakes->messageBox.owners.first(), list);
        QVERIFY(m_fakes->messageBox.shown.first().text.startsWith(
            QStringLiteral("ファイル \"") + path + QStringLiteral("\" に保存できませんでした。")));

        table->setFocus();
        QTest::keyClick(table, Qt::Key_Escape);
        QVERIFY(list->isHidden());
        // Opened again where it was, wherever the main window went meanwhile.
        const QPoint where = list->pos();
        m_window->move(m_window->pos() + QPoint(40, 30));
        QCOMPARE(openList(), list);
        QCOMPARE(list->pos(), where);
        // Closing the main window ends the program with the list still open:
        // no window of its own keeps it going (Qt's quit then closes them all).
        QVERIFY(m_window->close());
        const QWidgetList windows = QApplication::topLevelWidgets();
        QVERIFY(std::none_of(
            windows.begin(), windows.end(), [](QWidget *w) { return w->isVisible() && !w->parentWidget(); }));
    }
};

QTEST_MAIN(tst_Sitting)
#include "tst_sitting.moc"
