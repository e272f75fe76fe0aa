#include "fakeservices.h"
#include "testsupport.h"

#include "platform/fakes/fakesettingsfile.h"
#include "ui/Fonts.h"
#include "ui/TextSize.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <memory>

using platform::FakeMessageBox;
using platform::MessageBox;

// The main window's start (XML component, settings.ini, the remembered data
// file) and its closing (settings.ini written, the other windows closed).
class TestFrmMainStartup : public testsupport::WindowTest
{
    Q_OBJECT

private:
    QString settingsPath() const { return m_folder->path() + QStringLiteral("settings.ini"); }
    QByteArray settingsContent() const
    {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void writeSettings(const QByteArray &content) const
    {
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    QLabel *label(const QString &name) const { return m_window->findChild<QLabel *>(name); }
    QLineEdit *lower() const { return m_window->findChild<QLineEdit *>(QStringLiteral("txtInputSimo2")); }

    // Creates the main window and runs its load handler, as the program's start does.
    bool start()
    {
        m_window.reset();
        newProgramState();
        m_window = std::make_unique<frmMain>(*m_state);
        m_fakes->messageBox.onShow
            = [this](const FakeMessageBox::Shown &) { m_windowShownAtBox = m_window->isVisible(); };
        const bool carryOn = m_window->Form_Load();
        if (carryOn)
            m_window->show();
        return carryOn;
    }

    std::unique_ptr<frmMain> m_window;
    bool m_windowShownAtBox = false;

private slots:
    void initTestCase() { Fonts::installSubstitutions(); }

    void init()
    {
        startWindowTest();
        QVERIFY(m_folder->addSchema());
        m_windowShownAtBox = false;
    }

    void cleanup()
    {
        m_window.reset();
        TextSize::choose(TextSize::Standard);
        endWindowTest();
    }

    void startAndClose_data()
    {
        QTest::addColumn<QByteArray>("settings"); // "<missing>": no settings.ini
        QTest::addColumn<QString>("fixture"); // copied into data/ as dataName
        QTest::addColumn<QString>("dataName");
        QTest::addColumn<QString>("fileName"); // strFileName after the start; empty: the not-set state
        QTest::addColumn<QString>("boxStart"); // beginning of the one box shown; empty: none

        const QString defaultName = modNengajo::DefaultFileName;
        const QByteArray missing("<missing>");
        const QString three = QStringLiteral("select_three.xml");

        QTest::newRow("fresh folder with the default file") << missing << three << defaultName << defaultName << "";
        QTest::newRow("fresh folder without the default file") << missing << three << "other.xml"
                                                               << ""
                                                               << "";
        QTest::newRow("remembered file") << QByteArray("[Settings]\nFileName=mine.xml\n") << three << "mine.xml"
                                         << "mine.xml"
                                         << "";
        QTest::newRow("remembered file, Japanese name, CRLF")
            << QByteArray("[Settings]\r\nFileName=年賀状（令和9年度版）.xml\r\n") << three
            << QStringLiteral("年賀状（令和9年度版）.xml") << QStringLiteral("年賀状（令和9年度版）.xml") << "";
        QTest::newRow("empty value means the default")
            << QByteArray("[Settings]\nFileName=\n") << three << defaultName << defaultName << "";
        QTest::newRow("remembered file is gone")
            << QByteArray("[Settings]\nFileName=gone.xml\n") << three << defaultName << ""
            << "";
        QTest::newRow("remembered file breaks the schema")
            << QByteArray("[Settings]\nFileName=bad.xml\n") << "select_badschema.xml"
            << "bad.xml"
            << "" << QStringLiteral("当選番号データファイルの記述にエラーがあります。\r\n\r\n[line:");
        QTest::newRow("remembered file is not XML")
            << QByteArray("[Settings]\nFileName=bad.xml\n") << "select_malformed.xml"
            << "bad.xml"
            << "" << QStringLiteral("当選番号データファイルの記述にエラーがあります。");
        // Only files inside the data folder are data files.
        QTest::newRow("remembered path leads out of the data folder")
            << QByteArray("[Settings]\nFileName=../data/mine.xml\n") << three << "mine.xml"
            << ""
            << "";
    }

    void startAndClose()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, fixture);
        QFETCH(QString, dataName);
        QFETCH(QString, fileName);
        QFETCH(QString, boxStart);

        if (settings != "<missing>")
            writeSettings(settings);
        QVERIFY(m_folder->addFixture(fixture, dataName));

        QVERIFY(start());

        QCOMPARE(m_state->data.winningData().strFileName, fileName);
        if (boxStart.isEmpty()) {
            QCOMPARE(m_fakes->messageBox.shown.size(), 0);
        } else {
            QCOMPARE(m_fakes->messageBox.shown.size(), 1);
            const FakeMessageBox::Shown &box = m_fakes->messageBox.shown.first();
            QCOMPARE(box.title, QStringLiteral("Harovan"));
            QVERIFY2(box.text.startsWith(boxStart), qPrintable(box.text));
            QCOMPARE(box.icon, MessageBox::Icon::Critical);
            // Every message of the start comes before the window.
            QVERIFY(!m_windowShownAtBox);
        }

        QCOMPARE(m_window->windowTitle(), QStringLiteral("Harovan"));
        if (fileName.isEmpty()) {
            QCOMPARE(label(QStringLiteral("lblTypeCaption"))->text(), QStringLiteral("（はがきの種類未設定）"));
            QCOMPARE(label(QStringLiteral("lblInform"))->text(),
                QStringLiteral("はがきの種類を選択してください。\r\n（メニュー→はがきの種類を選択）"));
            QVERIFY(!lower()->isEnabled());
            QCOMPARE(lower()->palette().color(QPalette::Base), QColor::fromRgb(0xE0E0E0));
            // All five rows as designed.
            for (int r = 0; r < 5; ++r)
                QVERIFY(label(QStringLiteral("lblToukyuu_%1").arg(r))->isVisible());
        } else {
            QCOMPARE(label(QStringLiteral("lblTypeCaption"))->text(), QStringLiteral("【かもめ〜る平成19年版】"));
            QCOMPARE(label(QStringLiteral("lblInform"))->text(), QStringLiteral("下２桁を入力してください"));
            QVERIFY(lower()->isEnabled());
            for (int r = 0; r < 5; ++r)
                QCOMPARE(label(QStringLiteral("lblAtariCnt_%1").arg(r))->isVisible(), r < 3);
        }

        QVERIFY(m_window->close());
        QByteArray expected = settings == "<missing>" ? QByteArray("[Settings]\n") : settings;
        const QByteArray ending = expected.contains("\r\n") ? "\r\n" : "\n";
        const qsizetype at = expected.indexOf("FileName=");
        if (at >= 0)
            expected.truncate(at);
        expected += "FileName=" + fileName.toUtf8() + ending;
        QCOMPARE(settingsContent(), expected);
    }

    // The not-set state ends with the first clear: cards are then judged as losses.
    void notSetStateLeftByClear()
    {
        QVERIFY(start());
        QVERIFY(!lower()->isEnabled());
        m_window->findChild<QAction *>(QStringLiteral("mnuClear"))->trigger();
        QVERIFY(lower()->isEnabled());
        QTest::keyClicks(lower(), QStringLiteral("21"));
        QCOMPARE(label(QStringLiteral("lblInform"))->text(), QStringLiteral("はずれです...次の番号を入力してください"));
        QCOMPARE(label(QStringLiteral("lblCheckCnt"))->text(), QStringLiteral("1"));
    }

    void closingKeepsTheRestOfTheSettingsFile()
    {
        const QByteArray before("; Harovan\r\n[Window]\r\nLeft=12\r\n\r\n[Settings]\r\nFileName=bad.xml\r\n"
                                "Extra=あ\r\n\r\n[Tail]\r\nZ=1\r\n");
        writeSettings(before);
        QVERIFY(m_folder->addFixture(QStringLiteral("select_badschema.xml"), QStringLiteral("bad.xml")));
        QVERIFY(start());
        QVERIFY(m_window->close());
        QByteArray after = before;
        after.replace("FileName=bad.xml", "FileName=");
        QCOMPARE(settingsContent(), after);
    }

    // The text size read before the first window is built: anything but
    // 100, 150 and 200, or no value at all, is 100.
    void textSizeRead_data()
    {
        QTest::addColumn<QByteArray>("settings"); // "<folder>": a folder of that name
        QTest::addColumn<int>("expected");
        QTest::newRow("150") << QByteArray("[Settings]\nFileName=a.xml\nTextSize=150\n") << 150;
        QTest::newRow("200, CR LF, blanks") << QByteArray("[Settings]\r\nTextSize = 200 \r\n") << 200;
        QTest::newRow("no value") << QByteArray("[Settings]\nFileName=a.xml\n") << 100;
        QTest::newRow("settings.ini is a folder") << QByteArray("<folder>") << 100;
        QTest::newRow("empty") << QByteArray("[Settings]\nTextSize=\n") << 100;
        QTest::newRow("a size not offered") << QByteArray("[Settings]\nTextSize=175\n") << 100;
        QTest::newRow("a factor") << QByteArray("[Settings]\nTextSize=1.5\n") << 100;
        QTest::newRow("full-width digits") << QByteArray("[Settings]\nTextSize=１５０\n") << 100;
    }
    void textSizeRead()
    {
        QFETCH(QByteArray, settings);
        if (settings == "<folder>")
            QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("settings.ini")));
        else
            writeSettings(settings);
        TextSize::load();
        QTEST(TextSize::percent(), "expected");
        QVERIFY(start());
        QCOMPARE(lower()->font().pointSizeF(), 14.25 * TextSize::factor());
    }

    // The choice is written at once beside the rest of the file, stays when
    // the window closes, and the next start opens at it.
    void textSizeRememberedAcrossARestart()
    {
        const QByteArray chosen("; mine\n[Settings]\nFileName=\nTextSize=200\n");
        writeSettings("; mine\n[Settings]\nFileName=\n");
        TextSize::load();
        QVERIFY(start());
        m_window->findChild<QAction *>(QStringLiteral("mnuSize200"))->trigger();
        QCOMPARE(settingsContent(), chosen);
        QVERIFY(m_window->close());
        QCOMPARE(settingsContent(), chosen);

        // A new run: the standard size in memory, the file as the last run left it.
        TextSize::choose(TextSize::Standard);
        writeSettings(chosen);
        TextSize::load();
        QVERIFY(start());
        QCOMPARE(lower()->font().pointSizeF(), 28.5);
        QVERIFY(m_window->findChild<QAction *>(QStringLiteral("mnuSize200"))->isChecked());
    }

    void missingXmlComponentEndsAtOnce()
    {
        m_fakes->xmlComponent.available = false;
        writeSettings("[Settings]\nFileName=mine.xml\n");
        QVERIFY(m_folder->addFixture(QStringLiteral("select_three.xml"), QStringLiteral("mine.xml")));

        QVERIFY(!start());

        const QList<FakeMessageBox::Shown> expected {{QStringLiteral("Harovan"),
            QStringLiteral("MSXML3.0が正しくインストールされていません。詳細はヘルプをご覧ください。"),
            MessageBox::Icon::Critical, MessageBox::Buttons::Ok}};
        QCOMPARE(m_fakes->messageBox.shown, expected);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_state->data.winningData().intClassCount, 0);
        m_window.reset();
        QCOMPARE(settingsContent(), QByteArray("[Settings]\nFileName=mine.xml\n"));
    }

    // Closing by any means ends the program: with Qt's quit the other windows
    // close, modal ones included, and the settings are written.
    void closingClosesTheOtherWindows_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("close box") << false;
        QTest::newRow("exit command") << true;
    }

    void closingClosesTheOtherWindows()
    {
        QFETCH(bool, byMenu);
        QVERIFY(m_folder->addFixture(QStringLiteral("select_three.xml"), modNengajo::DefaultFileName));
        QVERIFY(start());
        m_window->findChild<QAction *>(QStringLiteral("mnuShowIchiran"))->trigger();
        QWidget *list = m_window->findChild<QWidget *>(QStringLiteral("frmSyouhin"));
        QVERIFY(list && list->isVisible());

        // Close while the version window is open over the main window.
        QString openWhenClosing;
        QTimer::singleShot(0, this, [&] {
            if (QWidget *dialog = QApplication::activeModalWidget())
                openWhenClosing = dialog->objectName();
            if (byMenu)
                m_window->findChild<QAction *>(QStringLiteral("mnuExit"))->trigger();
            else
                m_window->close();
            // The last window of the program closed, Qt's quit closes every
            // other (the test runs no event loop of the application's own).
            QApplication::closeAllWindows();
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, this, [] {
            if (QWidget *dialog = QApplication::activeModalWidget())
                dialog->close();
        });
        watchdog.start(5000);
        m_window->findChild<QAction *>(QStringLiteral("mnuVersion"))->trigger();
        QVERIFY2(watchdog.isActive(), "the version window stayed open");

        QCOMPARE(openWhenClosing, QStringLiteral("frmAbout"));
        QVERIFY(!m_window->isVisible());
        QVERIFY(!list->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(settingsContent(), QByteArray("[Settings]\nFileName=" + modNengajo::DefaultFileName.toUtf8() + "\n"));
    }

    // A program folder the user may not write: the remembered file and a file
    // of the user's own are read from the user's folder and settings.ini is
    // written there; the program folder stays as it was.
    void readOnlyProgramFolder()
    {
        QVERIFY(m_folder->addFixture(QStringLiteral("select_five.xml"), modNengajo::DefaultFileName));
        QVERIFY(m_folder->addUserFixture(QStringLiteral("select_three.xml"), QStringLiteral("mine.xml")));
        QFile settings(m_folder->userPath() + QStringLiteral("settings.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly) && settings.write("[Settings]\nFileName=mine.xml\n") > 0);
        settings.close();
        m_folder->setReadOnly(true);
        const auto before = testsupport::snapshot(m_folder->path());

        QVERIFY(start());
        QCOMPARE(m_state->data.winningData().strFileName, QStringLiteral("mine.xml"));
        QCOMPARE(label(QStringLiteral("lblTypeCaption"))->text(), QStringLiteral("【かもめ〜る平成19年版】"));
        QVERIFY(m_window->useDataFile(modNengajo::DefaultFileName));
        QVERIFY(m_window->close());

        QVERIFY(settings.open(QIODevice::ReadOnly));
        QCOMPARE(settings.readAll(), QByteArray("[Settings]\nFileName=" + modNengajo::DefaultFileName.toUtf8() + "\n"));
        QCOMPARE(testsupport::snapshot(m_folder->path()), before);
    }

    // The card type chosen cannot be kept: said once, at the first choice;
    // closing says nothing more and is not stopped. Nobody waits on a box
    // while the session ends: the next start says it.
    void unwritableSettingsAreToldOnce_data()
    {
        QTest::addColumn<bool>("sessionEnds");
        QTest::newRow("chosen, then closed") << false;
        QTest::newRow("the session ends") << true;
    }
    void unwritableSettingsAreToldOnce()
    {
        QFETCH(bool, sessionEnds);
        QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("settings.ini")));
        QVERIFY(m_folder->addFixture(QStringLiteral("select_three.xml"), modNengajo::DefaultFileName));
        QVERIFY(start());
        QVERIFY(m_fakes->messageBox.shown.isEmpty());
        if (sessionEnds) {
            m_window->closeForStop();
            QVERIFY(!m_window->isVisible());
            QVERIFY(m_fakes->messageBox.shown.isEmpty());
            QVERIFY(start());
            const QList<FakeMessageBox::Shown> expected {{QStringLiteral("Harovan"),
                QStringLiteral("前回の終了時に、はがきの種類の選択を設定ファイル \"") + settingsPath()
                    + QStringLiteral(
                        "\" に保存できませんでした。\r\n必要なら、もう一度はがきの種類を選択してください。"),
                MessageBox::Icon::Warning, MessageBox::Buttons::Ok}};
            QCOMPARE(m_fakes->messageBox.shown, expected);
            return;
        }
        QVERIFY(m_window->useDataFile(modNengajo::DefaultFileName));
        QVERIFY(m_window->useDataFile(modNengajo::DefaultFileName));
        QVERIFY(m_window->close());
        QVERIFY(!m_window->isVisible());
        const QList<FakeMessageBox::Shown> expected {{QStringLiteral("Harovan"),
            QStringLiteral("はがきの種類の選択を保存できません。\r\n設定ファイル \"") + settingsPath()
                + QStringLiteral("\" に書き込めないため、次に起動したときは、もう一度はがきの種類を選択してください。"),
            MessageBox::Icon::Warning, MessageBox::Buttons::Ok}};
        QCOMPARE(m_fakes->messageBox.shown, expected);
    }

    // A program folder reported with its separator already gets no second one.
    void folderWithTrailingSeparator()
    {
        platform::FakeProgramFolder folder(m_folder->path());
        platform::ScopedService<platform::ProgramFolder> folderGuard(folder);
        platform::FakeSettingsFile settings;
        platform::ScopedService<platform::SettingsFile> settingsGuard(settings);
        QVERIFY(m_folder->addFixture(QStringLiteral("select_three.xml"), modNengajo::DefaultFileName));

        QVERIFY(start());
        QCOMPARE(m_state->data.winningData().strFileName, modNengajo::DefaultFileName);
        QVERIFY(m_window->close());
        const QString key = m_folder->path() + QStringLiteral("settings.ini|Settings|FileName");
        QVERIFY(!key.contains(QStringLiteral("//")));
        QCOMPARE(settings.values.value(key), modNengajo::DefaultFileName);
    }
};

QTEST_MAIN(TestFrmMainStartup)
#include "tst_frmmain_startup.moc"
