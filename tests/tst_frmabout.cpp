#include "fakeservices.h"
#include "testsupport.h"
#include "ui/ProgramIcon.h"
#include "ui/frmAbout.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QString TitleText = QStringLiteral("Harovan\u3000Version.2.20");

QLabel *label(const frmAbout &dlg, const char *name)
{
    return dlg.findChild<QLabel *>(QString::fromLatin1(name));
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

    // The address is a link of the box (tst_widgets tests the link itself):
    // blue under the mouse, grey again on the box's surface, and a click
    // opens the address it shows.
    void addressIsALink()
    {
        testsupport::FakeServices fakes;
        frmAbout dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QLabel *link = label(dlg, "lblURL");
        const auto colour = [link] { return link->palette().color(QPalette::WindowText).rgb() & 0xFFFFFF; };

        testsupport::movePointer(link, link->rect().center());
        QCOMPARE(colour(), 0x0000FFu);
        QVERIFY(surfacePoint(dlg).x() >= 0);
        testsupport::movePointer(&dlg, surfacePoint(dlg));
        QCOMPARE(colour(), 0x404040u);
        QTest::mouseClick(link, Qt::LeftButton, Qt::NoModifier, link->rect().center());
        QCOMPARE(fakes.shell.opened, QStringList {link->text()});
        QVERIFY(link->text().startsWith(QLatin1String("http://")));
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
