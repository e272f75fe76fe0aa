// The controls every window builds the same way (ui/Widgets.h), on a window
// of the test's own: the link, under the mouse and clicked. The windows'
// tests check only that their links are links.

#include "fakeservices.h"
#include "testsupport.h"
#include "ui/Widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

namespace {

const QRgb Blue = 0x0000FF;
const QRgb DarkGrey = 0x404040;

// A window with a link (a label, or a read-only text box), the controls a
// pointer crosses on its way, and bare surface in its margins.
class LinkWindow
{
public:
    // refuse: the link's text is one the link's test of an address refuses.
    LinkWindow(bool textBox, const QString &caption, bool refuse = false)
    {
        window.setObjectName(QStringLiteral("window"));
        auto *layout = new QVBoxLayout(&window);
        layout->setContentsMargins(20, 20, 20, 20);
        if (textBox) {
            auto *box = new QLineEdit(caption, &window);
            box->setReadOnly(true);
            link = box;
        } else {
            link = new QLabel(caption, &window);
        }
        link->setObjectName(QStringLiteral("link"));
        auto *label = new QLabel(QStringLiteral("最新版はこちらから。"), &window);
        label->setObjectName(QStringLiteral("label"));
        auto *picture = new QLabel(&window);
        picture->setObjectName(QStringLiteral("picture"));
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::red);
        picture->setPixmap(pixmap);
        auto *button = new QPushButton(QStringLiteral("OK"), &window);
        button->setObjectName(QStringLiteral("button"));
        for (QWidget *control :
            {link, static_cast<QWidget *>(label), static_cast<QWidget *>(picture), static_cast<QWidget *>(button)})
            layout->addWidget(control);
        if (refuse)
            new Link(&window, link, [caption](const QString &text) { return text != caption; });
        else
            new Link(&window, link);
        window.show();
    }

    QColor colour() const
    {
        return link->palette().color(qobject_cast<QLineEdit *>(link) ? QPalette::Text : QPalette::WindowText);
    }

    // Moves the pointer to the middle of a control, or to the window's bare
    // surface for "surface".
    void moveOver(const QString &name)
    {
        QWidget *target = name == u"surface" ? &window : window.findChild<QWidget *>(name);
        QVERIFY2(target, qPrintable(name));
        testsupport::movePointer(target, target == &window ? QPoint(2, 2) : target->rect().center());
    }

    QWidget window;
    QWidget *link = nullptr;
};

} // namespace

class tst_Widgets : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_services = std::make_unique<testsupport::FakeServices>(); }
    void cleanup() { m_services.reset(); }

    // Blue under the mouse; dark grey again once the pointer crosses the
    // window's own surface, while the controls on the way leave it as it is.
    void linkColours_data()
    {
        QTest::addColumn<bool>("textBox");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<QStringList>("moves");
        QTest::addColumn<QRgb>("colour"); // 0: the window's default text colour

        QTest::newRow("before any pass") << false << false << QStringList {} << QRgb(0);
        QTest::newRow("over the link") << false << false << QStringList {"link"} << Blue;
        QTest::newRow("link, then surface") << false << false << QStringList {"link", "surface"} << DarkGrey;
        QTest::newRow("surface alone") << false << false << QStringList {"surface"} << DarkGrey;
        QTest::newRow("surface, then link again") << false << false << QStringList {"link", "surface", "link"} << Blue;
        QTest::newRow("link, then a label") << false << false << QStringList {"link", "label"} << Blue;
        QTest::newRow("link, then a picture") << false << false << QStringList {"link", "picture"} << Blue;
        QTest::newRow("link, then a button") << false << false << QStringList {"link", "button"} << Blue;
        QTest::newRow("grey, then a label") << false << false << QStringList {"link", "surface", "label"} << DarkGrey;
        QTest::newRow("a text box over it") << true << false << QStringList {"link"} << Blue;
        QTest::newRow("a text box, then surface") << true << false << QStringList {"link", "surface"} << DarkGrey;
        QTest::newRow("a text it refuses stays") << false << true << QStringList {"link"} << QRgb(0);
    }

    void linkColours()
    {
        QFETCH(bool, textBox);
        QFETCH(bool, refuse);
        QFETCH(QStringList, moves);
        QFETCH(QRgb, colour);
        LinkWindow link(textBox, QStringLiteral("http://harovan.example.jp/"), refuse);
        QVERIFY(QTest::qWaitForWindowExposed(&link.window));
        QVERIFY(!link.window.childAt(2, 2));
        const QColor defaultColour = link.colour();

        for (const QString &name : std::as_const(moves))
            link.moveOver(name);

        QCOMPARE(link.colour(), colour ? QColor(colour) : defaultColour);
        QVERIFY(m_services->shell.opened.isEmpty());
    }

    // One click asks the shell once to open what the link says, however
    // fast the clicks come.
    void clickOpensCaption_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("opened");

        const QString address = QStringLiteral("http://harovan.example.jp/");
        QTest::newRow("left click") << address << false << "click" << QStringList {address};
        QTest::newRow("any caption, unchanged") << QStringLiteral(" not an address ") << false << "click"
                                                << QStringList {QStringLiteral(" not an address ")};
        QTest::newRow("right button") << address << false << "right" << QStringList {};
        // Its second press used to open the page a second time.
        QTest::newRow("double-click: one request") << address << false << "double" << QStringList {address};
        QTest::newRow("released off the link") << address << false << "off" << QStringList {};
        QTest::newRow("a text it refuses") << address << true << "click" << QStringList {};
    }

    void clickOpensCaption()
    {
        QFETCH(QString, caption);
        QFETCH(bool, refuse);
        QFETCH(QString, how);
        LinkWindow window(false, caption, refuse);
        QVERIFY(QTest::qWaitForWindowExposed(&window.window));
        QWidget *link = window.link;
        const QPoint middle = link->rect().center();

        if (how == u"right") {
            QTest::mouseClick(link, Qt::RightButton, Qt::NoModifier, middle);
        } else if (how == u"off") {
            QTest::mousePress(link, Qt::LeftButton, Qt::NoModifier, middle);
            QTest::mouseRelease(link, Qt::LeftButton, Qt::NoModifier, QPoint(-5, -5));
        } else {
            QTest::mouseClick(link, Qt::LeftButton, Qt::NoModifier, middle);
        }
        // A double-click: the click above, then the press the window system
        // reports as the double-click, and its release.
        if (how == u"double") {
            QTest::mouseDClick(link, Qt::LeftButton, Qt::NoModifier, middle);
            QTest::mouseRelease(link, Qt::LeftButton, Qt::NoModifier, middle);
        }

        QTEST(m_services->shell.opened, "opened");
        QVERIFY(window.window.isVisible());
    }

private:
    std::unique_ptr<testsupport::FakeServices> m_services;
};

QTEST_MAIN(tst_Widgets)
#include "tst_widgets.moc"
