#include "fakeservices.h"
#include "testsupport.h"
#include "ui/frmFileSelect.h"
#include "ui/frmMain.h"
#include "ui/frmSyouhin.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QString Reiwa8 = QStringLiteral("年賀状（令和8年度版）");
const QString Kamome = QStringLiteral("かもめ〜る（平成19年度版）");

QStringList entries(const frmFileSelect &dlg)
{
    QStringList texts;
    const auto *list = dlg.findChild<QListWidget *>("lstXmlFile");
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

QString selectedEntry(const frmFileSelect &dlg)
{
    const QList<QListWidgetItem *> items = dlg.findChild<QListWidget *>("lstXmlFile")->selectedItems();
    return items.isEmpty() ? QString() : items.first()->text();
}

} // namespace

class tst_frmFileSelect : public testsupport::WindowTest
{
    Q_OBJECT

private:
    // Two valid files in the data folder, the named one in force.
    void setUpTwoFiles(const QString &inForce)
    {
        QVERIFY(m_folder->addSchema());
        QVERIFY(m_folder->addFixture("select_five.xml", Reiwa8 + ".xml"));
        QVERIFY(m_folder->addFixture("select_three.xml", Kamome + ".xml"));
        if (!inForce.isEmpty()) {
            QCOMPARE(m_state->data.LoadDataFile(inForce + ".xml").status, 0);
        }
    }

    QString settingsFileName()
    {
        return m_fakes->settingsFile.readString(
            m_folder->path() + "settings.ini", "Settings", "FileName", "<none>", 512);
    }

    static void select(frmFileSelect &dlg, const QString &text)
    {
        auto *list = dlg.findChild<QListWidget *>("lstXmlFile");
        list->setCurrentRow(entries(dlg).indexOf(text));
        QCOMPARE(selectedEntry(dlg), text);
    }

private slots:
    void init() { startWindowTest(); }
    void cleanup() { endWindowTest(); }

    void listing_data()
    {
        QTest::addColumn<bool>("withDataFolder");
        QTest::addColumn<QStringList>("files"); // fixture, then the name it gets, in pairs
        QTest::addColumn<QStringList>("userFiles"); // the same, in the user's data folder
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("valid, schema-breaking and malformed files")
            << true
            << QStringList {"select_five.xml", Reiwa8 + ".xml", "select_three.xml", "b.xml", "select_badschema.xml",
                   "select_badschema.xml", "select_malformed.xml", "select_malformed.xml", "select_three.xml",
                   "capitals.XML"}
            << QStringList {} << QStringList {Reiwa8, "b"};
        QTest::newRow("empty data folder") << true << QStringList {} << QStringList {} << QStringList {};
        QTest::newRow("no data folder") << false << QStringList {} << QStringList {} << QStringList {};
        // With user files the program folder is read-only. A user's file hides
        // the bundled one of its name; the user's folder's schema is not used.
        QTest::newRow("read-only program folder: both data folders")
            << true << QStringList {"select_five.xml", Reiwa8 + ".xml", "select_three.xml", "b.xml"}
            << QStringList {"select_malformed.xml", "b.xml", "select_three.xml", "a.xml", "select_malformed.xml",
                   "tousen1.2.xsd"}
            << QStringList {Reiwa8, "a"};
    }

    void listing()
    {
        QFETCH(bool, withDataFolder);
        QFETCH(QStringList, files);
        QFETCH(QStringList, userFiles);

        if (!withDataFolder)
            QVERIFY(QDir(m_folder->dataPath()).removeRecursively());
        if (withDataFolder) {
            QVERIFY(m_folder->addSchema());
            QVERIFY(QDir(m_folder->dataPath()).mkdir("folder.xml"));
        }
        for (qsizetype i = 0; i + 1 < files.size(); i += 2)
            QVERIFY(m_folder->addFixture(files[i], files[i + 1]));
        for (qsizetype i = 0; i + 1 < userFiles.size(); i += 2)
            QVERIFY(m_folder->addUserFixture(userFiles[i], userFiles[i + 1]));
        m_folder->setReadOnly(!userFiles.isEmpty());

        frmFileSelect dlg(m_state->data);
        QTEST(entries(dlg), "expected");
        QVERIFY(selectedEntry(dlg).isEmpty());
        QVERIFY(!dlg.findChild<QPushButton *>("cmdOK")->isEnabled());
        QVERIFY(m_fakes->messageBox.shown.isEmpty());
    }

    void confirm_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("OK button") << "ok";
        QTest::newRow("double-click") << "double";
        QTest::newRow("Enter") << "enter";
    }

    // A five-class file in force with a hit counted, the three-class file
    // chosen from the main window's menu: the main window shows it with its
    // counters cleared, the hidden prize list follows at once and stays
    // hidden, and settings.ini remembers the choice before the program ends.
    void confirm()
    {
        QFETCH(QString, how);
        setUpTwoFiles(Reiwa8);
        frmMain main(*m_state);
        main.ShowTypeCaption();
        frmSyouhin *syouhin = main.Syouhin(true);
        syouhin->Form_Activate();
        main.findChild<QLabel *>("lblAtariCnt_0")->setText("5");

        bool closedAfterLoad = false;
        QTimer::singleShot(0, &main, [&] {
            auto *dlg = qobject_cast<frmFileSelect *>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            connect(&m_state->data, &DataInForce::changed, dlg, [&, dlg] { closedAfterLoad = !dlg->isVisible(); });
            auto *list = dlg->findChild<QListWidget *>("lstXmlFile");
            if (how == "double") {
                const QRect rect = list->visualItemRect(list->item(entries(*dlg).indexOf(Kamome)));
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
            } else {
                select(*dlg, Kamome);
                if (how == "ok")
                    QTest::mouseClick(dlg->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
                else
                    QTest::keyClick(list, Qt::Key_Return);
            }
            if (dlg->isVisible())
                dlg->reject();
        });
        main.findChild<QAction *>("mnuSelectFile")->trigger();

        QVERIFY(!closedAfterLoad);
        QVERIFY(!main.findChild<frmFileSelect *>());
        QCOMPARE(m_state->data.winningData().strFileName, Kamome + ".xml");
        QCOMPARE(m_state->data.winningData().intClassCount, 3);
        QCOMPARE(main.findChild<QLabel *>("lblTypeCaption")->text(), QStringLiteral("【かもめ〜る平成19年版】"));
        QCOMPARE(main.findChild<QLabel *>("lblAtariCnt_0")->text(), "0");
        QVERIFY(!main.findChild<QLabel *>("lblAtariCnt_3")->isVisibleTo(&main));
        QCOMPARE(syouhin->windowTitle(), QStringLiteral("当選番号と賞品 【かもめ〜る 平成19年度】"));
        QVERIFY(syouhin->findChild<QLabel *>("lblToukyuuName_2")->isVisibleTo(syouhin));
        for (const char *name : {"lblToukyuuName_3", "lblSyohinSelect_3", "lblToukyuuName_4", "lblSyohinSelect_4"})
            QVERIFY2(!syouhin->findChild<QLabel *>(name)->isVisibleTo(syouhin), name);
        QVERIFY(syouhin->findChild<QLabel *>("lblTousenNum_4")->text().isEmpty());
        QVERIFY(syouhin->isHidden());
        QVERIFY(m_fakes->messageBox.shown.isEmpty());
        QCOMPARE(settingsFileName(), Kamome + ".xml");
    }

    // What another window asks of the main window to switch to a file it has
    // written: the same as a choice in the dialog, or nothing at all.
    void useDataFile_data()
    {
        QTest::addColumn<bool>("present");
        QTest::newRow("a file of the data folder") << true;
        QTest::newRow("a file that is gone") << false;
    }
    void useDataFile()
    {
        QFETCH(bool, present);
        setUpTwoFiles(Reiwa8);
        frmMain main(*m_state);
        main.ShowTypeCaption();
        main.AllClear();
        // A 4等 in the sitting.
        QTest::keyClicks(main.findChild<QLineEdit *>("txtInputSimo2"), "34");
        QCOMPARE(main.checkRecord().intAtariCnt(4), 1);
        if (!present)
            QVERIFY(QFile::remove(m_folder->dataPath(Kamome + ".xml")));
        const WinningData before = m_state->data.winningData();

        QCOMPARE(main.useDataFile(Kamome + ".xml"), present);

        const auto *caption = main.findChild<QLabel *>("lblTypeCaption");
        if (present) {
            QCOMPARE(caption->text(), QStringLiteral("【かもめ〜る平成19年版】"));
            QCOMPARE(main.findChild<QLabel *>("lblAtariCnt_3")->text(), "0");
            QVERIFY(main.checkRecord().cards().isEmpty());
            QCOMPARE(settingsFileName(), Kamome + ".xml");
        } else {
            QCOMPARE(m_state->data.winningData(), before);
            QCOMPARE(caption->text(), QStringLiteral("【年賀状令和8年版】"));
            // The sitting goes on with its counts.
            QCOMPARE(main.findChild<QLabel *>("lblAtariCnt_3")->text(), "1");
            QCOMPARE(main.checkRecord().intCheckCnt(), 1);
            QCOMPARE(m_fakes->messageBox.shown.size(), 1);
        }
    }

    void chooseFileInForce()
    {
        setUpTwoFiles(Reiwa8);
        frmFileSelect dlg(m_state->data);
        QSignalSpy loaded(&m_state->data, &DataInForce::changed);
        select(dlg, Reiwa8);
        dlg.findChild<QPushButton *>("cmdOK")->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(m_state->data.winningData().strFileName, Reiwa8 + ".xml");
    }

    void chosenFileGone_data()
    {
        QTest::addColumn<QString>("inForce");

        QTest::newRow("nothing in force") << QString();
        // The file in force was once loaded again behind the main window's back.
        QTest::newRow("another file in force: kept") << Kamome;
        QTest::newRow("the chosen file itself in force") << Reiwa8;
    }

    // The chosen file is removed between the listing and OK: the data in force
    // stay exactly as they were, and the dialog announces no load.
    void chosenFileGone()
    {
        QFETCH(QString, inForce);
        setUpTwoFiles(inForce);
        const WinningData before = m_state->data.winningData();

        frmFileSelect dlg(m_state->data);
        QSignalSpy loaded(&m_state->data, &DataInForce::changed);
        dlg.open();
        QVERIFY(QFile::remove(m_folder->dataPath(Reiwa8 + ".xml")));
        select(dlg, Reiwa8);
        dlg.findChild<QPushButton *>("cmdOK")->click();

        using platform::MessageBox;
        const QList<platform::FakeMessageBox::Shown> expected {
            {"Harovan", "当選番号データファイル\"" + Reiwa8 + ".xml\"が見つかりません。", MessageBox::Icon::Critical,
                MessageBox::Buttons::Ok}};
        QCOMPARE(m_fakes->messageBox.shown, expected);
        QVERIFY(dlg.isVisible());
        QCOMPARE(selectedEntry(dlg), Reiwa8);
        QVERIFY(dlg.findChild<QPushButton *>("cmdOK")->isEnabled());
        QCOMPARE(loaded.size(), 0);
        QCOMPARE(m_state->data.winningData(), before);
    }

    // ファイルから追加: a valid file is listed and chosen, so OK puts it in
    // force; a broken one is told in a box and nothing is copied.
    void addFile_data()
    {
        QTest::addColumn<QByteArray>("number");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("dropped"); // on the dialog, else through the button
        QTest::newRow("valid") << QByteArray("12") << true << false;
        QTest::newRow("broken") << QByteArray("7a3") << false << false;
        QTest::newRow("valid, dropped") << QByteArray("12") << true << true;
    }
    void addFile()
    {
        QFETCH(QByteArray, number);
        QFETCH(bool, valid);
        QFETCH(bool, dropped);
        setUpTwoFiles({});
        QTemporaryDir elsewhere;
        const QString sent = elsewhere.filePath("届いた データ.xml");
        QFile file(sent);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(testsupport::dataFileBytes(number)).replace("令和8", "令和9"));
        file.close();
        const QMap<QString, QByteArray> before = testsupport::snapshot(m_folder->dataPath());
        m_fakes->openFileDialog.answer = sent;

        frmFileSelect dlg(m_state->data);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(sent)});
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &mime, Qt::LeftButton, {});
        if (dropped) {
            QApplication::sendEvent(&dlg, &enter);
            QVERIFY(enter.isAccepted());
            QApplication::sendEvent(&dlg, &drop);
            QVERIFY(drop.isAccepted());
        } else
            dlg.findChild<QPushButton *>("cmdAddFile")->click();

        QCOMPARE(m_fakes->openFileDialog.asked.size(), dropped ? 0 : 1);
        const QString reiwa9 = QStringLiteral("年賀状（令和9年度版）");
        QCOMPARE(entries(dlg).contains(reiwa9), valid);
        QCOMPARE(selectedEntry(dlg), valid ? reiwa9 : QString());
        QCOMPARE(dlg.findChild<QPushButton *>("cmdOK")->isEnabled(), valid);
        if (valid) {
            QVERIFY(m_fakes->messageBox.shown.isEmpty());
            dlg.findChild<QPushButton *>("cmdOK")->click();
            QCOMPARE(m_state->data.winningData().strFileName, reiwa9 + ".xml");
        } else {
            QCOMPARE(m_fakes->messageBox.shown.size(), 1);
            const platform::FakeMessageBox::Shown &box = m_fakes->messageBox.shown.first();
            QCOMPARE(box.title, "Harovan");
            QCOMPARE(box.icon, platform::MessageBox::Icon::Critical);
            QVERIFY2(box.text.contains("[line:4, pos:"), qPrintable(box.text));
            QCOMPARE(testsupport::snapshot(m_folder->dataPath()), before);
        }
    }

    // Esc is bound to nothing, and Enter does nothing while no entry is selected.
    void keys()
    {
        setUpTwoFiles({});
        frmFileSelect dlg(m_state->data);
        dlg.open();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        auto *list = dlg.findChild<QListWidget *>("lstXmlFile");
        QCOMPARE(QApplication::focusWidget(), list);
        QTest::keyClick(list, Qt::Key_Escape);
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(dlg.isVisible());
        QVERIFY(m_state->data.winningData().strFileName.isEmpty());
        QVERIFY(dlg.findChild<QPushButton *>("cmdOK")->isDefault());
        // The list, OK, キャンセル, then ファイルから追加.
        QStringList order;
        QWidget *w = list;
        for (int i = 0; i < 50 && order.size() < 4; ++i, w = w->nextInFocusChain()) {
            if (w->focusPolicy() & Qt::TabFocus)
                order.append(w->objectName());
        }
        QCOMPARE(order, QStringList({"lstXmlFile", "cmdOK", "cmdCancel", "cmdAddFile"}));

        // The first arrow press picks the first entry, as a user expects of an empty choice.
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(selectedEntry(dlg), entries(dlg).first());
        QVERIFY(dlg.findChild<QPushButton *>("cmdOK")->isEnabled());

        dlg.findChild<QPushButton *>("cmdCancel")->click();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(!dlg.isVisible());
    }
};

QTEST_MAIN(tst_frmFileSelect)
#include "tst_frmfileselect.moc"
