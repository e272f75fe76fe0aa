#include "platform/messagebox.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

// Which window a message box is centred over, and how it fits its text.
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

    // Enter answers the default button; Esc the one that turns the question down.
    void keys_data()
    {
        using platform::MessageBox;
        QTest::addColumn<MessageBox::Buttons>("buttons");
        QTest::addColumn<int>("key");
        QTest::addColumn<MessageBox::Answer>("answer");
        QTest::newRow("OK, Enter") << MessageBox::Buttons::Ok << int(Qt::Key_Return) << MessageBox::Answer::Ok;
        QTest::newRow("OK, Esc") << MessageBox::Buttons::Ok << int(Qt::Key_Escape) << MessageBox::Answer::Ok;
        QTest::newRow("OK and Cancel, Enter")
            << MessageBox::Buttons::OkCancel << int(Qt::Key_Return) << MessageBox::Answer::Ok;
        QTest::newRow("OK and Cancel, Esc")
            << MessageBox::Buttons::OkCancel << int(Qt::Key_Escape) << MessageBox::Answer::Cancel;
        QTest::newRow("Yes and No, Enter")
            << MessageBox::Buttons::YesNo << int(Qt::Key_Return) << MessageBox::Answer::Yes;
        QTest::newRow("Yes and No, Esc") << MessageBox::Buttons::YesNo << int(Qt::Key_Escape) << MessageBox::Answer::No;
        QTest::newRow("Yes and No, No by default, Enter")
            << MessageBox::Buttons::YesNoDefaultNo << int(Qt::Key_Return) << MessageBox::Answer::No;
    }
    void keys()
    {
        QFETCH(platform::MessageBox::Buttons, buttons);
        QFETCH(int, key);
        QTimer::singleShot(0, [key] {
            if (QWidget *box = QApplication::activeModalWidget())
                QTest::keyClick(box, Qt::Key(key));
        });
        QTEST(platform::QtMessageBox().show(
                  u"Harovan"_s, u"続行しますか？"_s, platform::MessageBox::Icon::Warning, buttons, nullptr),
            "answer");
    }

    // At twice the designed text size a line that has room on the screen
    // stays whole, where Qt broke it at a width of its own, and the icon is
    // as tall as two lines.
    void largeTextKeepsItsLines()
    {
        const QFont previous = QApplication::font();
        QFont large = previous;
        large.setPointSizeF(18);
        QApplication::setFont(large);
        int labelHeight = 0;
        int lineSpacing = 0;
        int iconHeight = 0;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
            lineSpacing = label->fontMetrics().lineSpacing();
            labelHeight = label->height();
            iconHeight = box->findChild<QLabel *>(QStringLiteral("qt_msgboxex_icon_label"))->pixmap().height();
            box->accept();
        });
        platform::QtMessageBox().show(QStringLiteral("Harovan"),
            QStringLiteral("新着の当選番号データがあればダウンロードします。\r\n続行しますか？"),
            platform::MessageBox::Icon::Question, platform::MessageBox::Buttons::OkCancel, nullptr);
        QApplication::setFont(previous);
        QCOMPARE(labelHeight, 2 * lineSpacing);
        QCOMPARE(iconHeight, 2 * lineSpacing);
    }
};

QTEST_MAIN(tst_MessageBox)
#include "tst_messagebox.moc"
