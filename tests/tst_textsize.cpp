#include "testsupport.h"
#include "ui/TextSize.h"

#include <QDialog>
#include <QMainWindow>
#include <QMenu>
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

} // namespace

class tst_TextSize : public testsupport::WindowTest
{
    Q_OBJECT

private slots:
    void init() { startWindowTest(); }
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
};

QTEST_MAIN(tst_TextSize)
#include "tst_textsize.moc"
