#include "fakeservices.h"
#include "ui/ProgramIcon.h"
#include "ui/frmAbout.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QString TitleText = QStringLiteral("Harovan\u3000Version.2.20");
const QRgb Blue = 0x0000FF;
const QRgb DarkGrey = 0x404040;

QLabel *label(const frmAbout &dlg, const char *name)
{
    return dlg.findChild<QLabel *>(QString::fromLatin1(name));
}

QColor linkColour(const frmAbout &dlg)
{
    return label(dlg, "lblURL")->palette().color(QPalette::WindowText);
}

// A point of the window not covered by any control.
QPoint surfacePoint(const frmAbout &dlg)
{
    for (int y = 0; y < dlg.height(); y += 2)
        for (int x = 0; x < dlg.width(); x += 2)
            if (!dlg.childAt(x, y))
                return {x, y};
    return {-1, -1};
}

// Moves the pointer (no button held) to the middle of a control, or of the
// window's surface when name is "surface", as the window system reports it.
void moveOver(frmAbout &dlg, const QString &name)
{
    QWidget *target = &dlg;
    QPoint pos = surfacePoint(dlg);
    if (name != QLatin1String("surface")) {
        target = dlg.findChild<QWidget *>(name);
        QVERIFY2(target, qPrintable(name));
        pos = target->rect().center();
    }
    QMouseEvent move(QEvent::MouseMove, pos, target->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
}

} // namespace

class tst_frmAbout : public QObject
{
    Q_OBJECT

private slots:
    void versionShownOncePerOpening()
    {
        testsupport::FakeServices fakes;
        for (int opening = 0; opening < 2; ++opening) {
            frmAbout dlg;
            QCOMPARE(dlg.windowTitle(), QStringLiteral("バージョン情報"));
            QCOMPARE(label(dlg, "lblTitle")->text(), TitleText);
            QTimer::singleShot(0, &dlg, [&dlg] { dlg.findChild<QPushButton *>(QStringLiteral("cmdOK"))->click(); });
            QCOMPARE(dlg.exec(), int(QDialog::Accepted));
            QCOMPARE(label(dlg, "lblTitle")->text(), TitleText);
        }
    }

    void controls()
    {
        frmAbout dlg;
        QCOMPARE(
            label(dlg, "Label1")->text(), QStringLiteral("最新版はこちらから。ご意見・ご感想もお待ちしております。"));
        QVERIFY(label(dlg, "lblURL")->text().startsWith(QLatin1String("http://")));
        QVERIFY(!label(dlg, "lblDescription")->text().isEmpty());
        QVERIFY(!label(dlg, "lblDescription")->text().contains(u'\n'));
        QVERIFY(!label(dlg, "picIcon")->pixmap().isNull());
        QVERIFY(!programIcon().isNull());
        QVERIFY(programIcon().availableSizes().contains(QSize(16, 16)));
        // The pixels drawn at build time: the card covers the middle.
        QCOMPARE(qAlpha(programIcon().pixmap(QSize(128, 128)).toImage().pixel(64, 64)), 255);

        // Label1 stands directly above the link.
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QRect text = label(dlg, "Label1")->geometry();
        const QRect link = label(dlg, "lblURL")->geometry();
        QVERIFY(text.bottom() < link.top());
        QVERIFY(link.top() - text.bottom() < 12);
    }

    void linkColours_data()
    {
        QTest::addColumn<QStringList>("moves");
        QTest::addColumn<QRgb>("colour"); // 0: the window's default text colour

        QTest::newRow("before any pass") << QStringList {} << QRgb(0);
        QTest::newRow("over the link") << QStringList {"lblURL"} << Blue;
        QTest::newRow("link, then surface") << QStringList {"lblURL", "surface"} << DarkGrey;
        QTest::newRow("surface alone") << QStringList {"surface"} << DarkGrey;
        QTest::newRow("surface, then link again") << QStringList {"lblURL", "surface", "lblURL"} << Blue;
        QTest::newRow("link, then Label1") << QStringList {"lblURL", "Label1"} << Blue;
        QTest::newRow("link, then the icon") << QStringList {"lblURL", "picIcon"} << Blue;
        QTest::newRow("link, then OK") << QStringList {"lblURL", "cmdOK"} << Blue;
        QTest::newRow("link, then title") << QStringList {"lblURL", "lblTitle"} << Blue;
        QTest::newRow("grey, then Label1") << QStringList {"lblURL", "surface", "Label1"} << DarkGrey;
    }

    void linkColours()
    {
        QFETCH(QStringList, moves);
        QFETCH(QRgb, colour);
        testsupport::FakeServices fakes;
        frmAbout dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QVERIFY(surfacePoint(dlg).x() >= 0);
        const QColor defaultColour = dlg.palette().color(QPalette::WindowText);

        for (const QString &name : moves)
            moveOver(dlg, name);

        QCOMPARE(linkColour(dlg), colour ? QColor(colour) : defaultColour);
        QVERIFY(fakes.shell.opened.isEmpty());
    }

    void clickOpensCaption_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<QStringList>("opened");

        const QString address = frmAbout().findChild<QLabel *>(QStringLiteral("lblURL"))->text();
        QTest::newRow("left click") << QString() << Qt::LeftButton << false << QStringList {address};
        QTest::newRow("any caption, unchanged") << QStringLiteral(" not an address ") << Qt::LeftButton << false
                                                << QStringList {QStringLiteral(" not an address ")};
        QTest::newRow("right button") << QString() << Qt::RightButton << false << QStringList {};
        // Its second press used to open the page a second time.
        QTest::newRow("double-click: one request") << QString() << Qt::LeftButton << true << QStringList {address};
    }

    void clickOpensCaption()
    {
        QFETCH(QString, caption);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, doubleClick);
        QFETCH(QStringList, opened);
        testsupport::FakeServices fakes;
        frmAbout dlg;
        QLabel *link = label(dlg, "lblURL");
        if (!caption.isNull())
            link->setText(caption);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));

        QTest::mouseClick(link, button, Qt::NoModifier, link->rect().center());
        // A double-click: the click above, then the press the window system
        // reports as the double-click, and its release.
        if (doubleClick) {
            QTest::mouseDClick(link, button, Qt::NoModifier, link->rect().center());
            QTest::mouseRelease(link, button, Qt::NoModifier, link->rect().center());
        }

        QCOMPARE(fakes.shell.opened, opened);
        QVERIFY(dlg.isVisible());
    }

    void enterPressesOK()
    {
        testsupport::FakeServices fakes;
        frmAbout dlg;
        auto *ok = dlg.findChild<QPushButton *>(QStringLiteral("cmdOK"));
        QCOMPARE(ok->text(), QStringLiteral("&OK"));
        QVERIFY(ok->isDefault());
        bool pressed = false;
        connect(ok, &QPushButton::clicked, &dlg, [&pressed] { pressed = true; });
        QTimer::singleShot(0, &dlg, [&dlg] { QTest::keyClick(&dlg, Qt::Key_Return); });
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        QVERIFY(pressed);
    }
};

QTEST_MAIN(tst_frmAbout)
#include "tst_frmabout.moc"
