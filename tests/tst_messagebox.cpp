#include "platform/messagebox.h"

#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QTest>

// Which window a message box is centred over.
class tst_MessageBox : public QObject
{
    Q_OBJECT

private slots:
    void owner_data()
    {
        QTest::addColumn<bool>("mainActive");
        QTest::addColumn<bool>("otherActive");
        QTest::addColumn<bool>("modalOpen");
        QTest::addColumn<bool>("otherAsks"); // names itself as the window the box is for
        QTest::addColumn<QString>("owner"); // empty: none

        QTest::newRow("main window active") << true << false << false << false << "main";
        // A dialog that has just closed leaves no window active: the box
        // stood in the middle of the screen.
        QTest::newRow("no window active") << false << false << false << false << "main";
        QTest::newRow("another window active") << false << true << false << false << "other";
        QTest::newRow("a modal dialog open") << true << false << true << false << "dialog";
        // The list of won cards after its file dialog closed: not over the main window.
        QTest::newRow("no window active, another window asks") << false << false << false << true << "other";
    }
    void owner()
    {
        QFETCH(bool, mainActive);
        QFETCH(bool, otherActive);
        QFETCH(bool, modalOpen);
        QFETCH(bool, otherAsks);

        QMainWindow main;
        main.setObjectName("main");
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        if (!mainActive)
            QApplication::setActiveWindow(nullptr);
        QWidget other;
        other.setObjectName("other");
        if (otherActive) {
            other.show();
            QVERIFY(QTest::qWaitForWindowActive(&other));
        } else if (otherAsks) {
            other.show();
            QVERIFY(QTest::qWaitForWindowExposed(&other));
            QApplication::setActiveWindow(nullptr);
        } else if (mainActive) {
            QVERIFY(QTest::qWaitForWindowActive(&main));
        }
        QDialog dialog(&main);
        dialog.setObjectName("dialog");
        if (modalOpen) {
            dialog.open();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        }

        if (!mainActive && !otherActive)
            QCOMPARE(QApplication::activeWindow(), nullptr);
        QWidget *owner = platform::QtMessageBox::owner(otherAsks ? &other : nullptr);
        QTEST(owner ? owner->objectName() : QString(), "owner");
    }

    void noWindowYet() { QCOMPARE(platform::QtMessageBox::owner(), nullptr); }
};

QTEST_MAIN(tst_MessageBox)
#include "tst_messagebox.moc"
