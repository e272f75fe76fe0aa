#include "fakeservices.h"
#include "testsupport.h"
#include "ui/frmMain.h"
#include "ui/frmSyouhin.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

// One row as "title|numbers|digit note|goods|choose-one note"; a hidden label shows as empty.
QString rowText(const QWidget &window, int r)
{
    QStringList parts;
    for (const char *name : {"lblToukyuuName", "lblTousenNum", "lblKeta", "lblSyouhin", "lblSyohinSelect"}) {
        const auto *label = window.findChild<QLabel *>(QString::fromLatin1(name) + QStringLiteral("_%1").arg(r));
        parts.append(label->isVisibleTo(&window) ? label->text() : QString());
    }
    return parts.join(u'|');
}

QStringList rowTexts(const QWidget &window)
{
    QStringList rows;
    for (int r = 0; r < 5; ++r)
        rows.append(rowText(window, r));
    return rows;
}

const QString Blank = QStringLiteral("||||");
const QString Select = QStringLiteral("以上の中から１点選択");

// Classes given by their numbers (an empty text is an empty position) and goods items.
WinningData makeData(const QList<PrizeClass> &classes)
{
    return testsupport::makeWinningData(classes, QStringLiteral("年賀状"), QStringLiteral("令和8"));
}

using testsupport::makeClass;

} // namespace

class tst_frmSyouhin : public testsupport::WindowTest
{
    Q_OBJECT

private:
    // The data the window is given; a load changes them in place.
    WinningData m_data;

private slots:
    void init()
    {
        startWindowTest();
        m_data = WinningData {};
    }
    void cleanup() { endWindowTest(); }

    void rows_data()
    {
        QTest::addColumn<QList<PrizeClass>>("classes");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("no classes") << QList<PrizeClass> {} << QStringList(5, Blank);
        QTest::newRow("three classes")
            << QList<PrizeClass> {makeClass({"455756"}, {"現金30万円", "電子マネー31万円分", "特産品"}),
                   makeClass({"521", "021"}, {"切手シート"}), makeClass({"07"})}
            << QStringList {"１等|455756||現金30万円\r\n電子マネー31万円分\r\n特産品|" + Select,
                   "２等|521\r\n021|（下3桁）|切手シート|", "３等|07|（下2桁）||", Blank, Blank};
        QTest::newRow("numbers stop at an empty position")
            << QList<PrizeClass> {makeClass({"12", "", "34"}), makeClass({"3456", "7890"})}
            << QStringList {"１等|12|（下2桁）||", "２等|3456\r\n7890|（下4桁）||", Blank, Blank, Blank};

        QList<PrizeClass> six;
        QStringList firstFive;
        for (int k = 1; k <= 6; ++k) {
            six.append(makeClass({QStringLiteral("0%1").arg(k)}, {QStringLiteral("賞品%1").arg(k)}));
            if (k <= 5)
                firstFive.append(modNengajo::FullWidthDigits(k) + QStringLiteral("等|0%1|（下2桁）|賞品%1|").arg(k));
        }
        QTest::newRow("six classes: only the first five") << six << firstFive;
    }

    // Every row starts filled from a five-class file, so rows a smaller file
    // leaves over must come out blank.
    void rows()
    {
        QFETCH(QList<PrizeClass>, classes);

        frmSyouhin window(m_data);
        m_data = makeData(QList<PrizeClass>(5, makeClass({"123", "456"}, {"金", "銀"})));
        window.Form_Activate();
        QCOMPARE(rowText(window, 4), "５等|123\r\n456|（下3桁）|金\r\n銀|" + Select);

        m_data = makeData(classes);
        window.Form_Activate();
        QTEST(rowTexts(window), "expected");
        QVERIFY(window.isHidden());
    }

    void caption_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QDate>("exchangeFrom");
        QTest::addColumn<QDate>("exchangeTo");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("urlText");
        QTest::addColumn<QString>("kikan");

        // clang-format off
        QTest::newRow("era in the year") << "年賀状" << "令和8" << "https://example.jp/" << QDate(2026, 1, 20) << QDate(2026, 7, 21) << "当選番号と賞品 【年賀状 令和8年度】" << "https://example.jp/" << "引換期間：2026年1月20日（火）～2026年7月21日（火）";
        QTest::newRow("bare year") << "X" << "17" << "" << QDate() << QDate() << "当選番号と賞品 【X 平成17年度】" << "(なし)" << "引換期間：(なし)";
        QTest::newRow("no data") << "" << "" << "" << QDate(2026, 1, 20) << QDate() << "当選番号と賞品 【 平成年度】" << "(なし)" << "引換期間：(なし)";
        // clang-format on
    }

    void caption()
    {
        QFETCH(QString, type);
        QFETCH(QString, year);
        QFETCH(QString, url);

        m_data.strType = type;
        m_data.strYear = year;
        m_data.strUrl = url;
        QFETCH(QDate, exchangeFrom);
        QFETCH(QDate, exchangeTo);
        m_data.exchangeFrom = exchangeFrom;
        m_data.exchangeTo = exchangeTo;
        frmSyouhin window(m_data);
        window.Form_Activate();
        QTEST(window.windowTitle(), "caption");
        QTEST(window.findChild<QLineEdit *>("txtURL")->text(), "urlText");
        QTEST(window.findChild<QLabel *>("lblKikan")->text(), "kikan");
    }

    // Switching back to the window from another one refreshes it.
    void refreshesOnActivation()
    {
        frmSyouhin window(m_data);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QWidget other;
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        m_data = makeData({makeClass({"455756"}, {"現金"})});
        QCOMPARE(rowText(window, 0), Blank);
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(rowText(window, 0), QStringLiteral("１等|455756||現金|"));
    }

    void link_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("web");

        // Which texts are web addresses is tst_webaddress's table.
        QTest::newRow("web address") << "http://example.jp/nenga/" << true;
        QTest::newRow("other text") << "HTTP://EXAMPLE.JP/" << false;
    }

    // Under the mouse a web address turns blue and opens on a click; other
    // text does neither. The link's colours are tst_widgets'.
    void link()
    {
        QFETCH(QString, url);
        QFETCH(bool, web);

        m_data.strUrl = url;
        frmSyouhin window(m_data);
        window.Form_Activate();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *txtURL = window.findChild<QLineEdit *>("txtURL");
        const auto color = [&] { return txtURL->palette().color(QPalette::Text).rgb() & 0xFFFFFF; };
        QCOMPARE(color(), 0x404040u);

        QTest::mouseMove(txtURL, txtURL->rect().center());
        QCOMPARE(color(), web ? 0x0000FFu : 0x404040u);

        QTest::mouseClick(txtURL, Qt::LeftButton);
        QCOMPARE(m_fakes->shell.opened, web ? QStringList {url} : QStringList {});
    }

    void browseOpen_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("usersOwn"); // in the user's data folder of a read-only program folder
        QTest::newRow("data file") << "年賀状（令和8年度版）.xml" << false;
        QTest::newRow("none in force: the data folder") << "" << false;
        QTest::newRow("the user's own file: where it is") << "mine.xml" << true;
    }

    void browseOpen()
    {
        QFETCH(QString, fileName);
        QFETCH(bool, usersOwn);
        if (usersOwn) {
            QVERIFY(m_folder->addUserFixture(QStringLiteral("select_three.xml"), fileName));
            m_folder->setReadOnly(true);
        }
        m_data.strFileName = fileName;
        frmSyouhin window(m_data);
        window.findChild<QPushButton *>("cmdBrowseOpen")->click();
        QCOMPARE(m_fakes->shell.opened,
            QStringList {usersOwn ? m_folder->userDataPath(fileName) : m_folder->dataPath(fileName)});
    }

    // The shell answers after a while: its box stands over the list, not the active window.
    void browseOpenFailureOverTheList()
    {
        m_fakes->shell.fails = true;
        frmSyouhin window(m_data);
        window.findChild<QPushButton *>("cmdBrowseOpen")->click();
        QCOMPARE(m_fakes->messageBox.shown.size(), 1);
        QCOMPARE(m_fakes->messageBox.owners, (QList<QWidget *> {&window}));
    }

    // A refresh with other data used to throw away the size the user gave the window.
    void keepsTheUsersSize()
    {
        m_data = makeData(QList<PrizeClass>(5, makeClass({"123", "456"}, {"金", "銀"})));
        frmSyouhin window(m_data);
        window.Form_Activate();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QSize userSize = window.size() + QSize(120, 80);
        window.resize(userSize);

        m_data = makeData({makeClass({"455756"}, {"現金"})});
        window.Form_Activate();
        QCOMPARE(window.size(), userSize);

        // Content that needs more room than the user gave still shows whole.
        m_data = makeData(QList<PrizeClass>(5, makeClass({"123", "456", "789", "012"}, {"金"})));
        window.Form_Activate();
        QTRY_VERIFY(window.height() >= window.minimumSizeHint().height());
        QCOMPARE(window.width(), userSize.width());
    }

    void escapeCloses()
    {
        frmSyouhin window(m_data);
        QSignalSpy hidden(&window, &frmSyouhin::hiddenByClose);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, Qt::Key_Escape);
        QVERIFY(window.isHidden());
        QCOMPARE(hidden.size(), 1);
    }

    void closeButton_data()
    {
        QTest::addColumn<bool>("boxEnabled");
        QTest::newRow("two-digit entry") << true;
        QTest::newRow("upper four digits asked for") << false;
    }

    void closeButton()
    {
        QFETCH(bool, boxEnabled);
        frmMain main(*m_state);
        auto *simo2 = main.findChild<QWidget *>("txtInputSimo2");
        QVERIFY2(simo2, "the main window has no txtInputSimo2");
        QLineEdit elsewhere(&main);
        main.show();
        elsewhere.setFocus();
        simo2->setEnabled(boxEnabled);
        frmSyouhin *window = main.Syouhin(true);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window));

        window->findChild<QPushButton *>("cmdClose")->click();
        QVERIFY(window->isHidden());
        QCOMPARE(main.focusWidget() == simo2, boxEnabled);
        QVERIFY(m_fakes->messageBox.shown.isEmpty());
    }
};

QTEST_MAIN(tst_frmSyouhin)
#include "tst_frmsyouhin.moc"
