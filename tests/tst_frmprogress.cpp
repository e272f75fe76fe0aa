// The progress window on its own: when it appears, cancelling, its bar and the
// pointer over its button. Its use by the list fetch and the downloads is
// tested with them.

#include "fakeservices.h"
#include "ui/frmProgress.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

template <typename T> T *child(QWidget *parent, const QString &name)
{
    T *found = parent->findChild<T *>(name);
    if (!found)
        qFatal("no child %s", qPrintable(name));
    return found;
}

// A window of the program with a text box that takes typing.
struct OtherWindow
{
    QWidget window;
    QLineEdit *box = new QLineEdit(&window);

    OtherWindow()
    {
        new QVBoxLayout(&window);
        window.layout()->addWidget(box);
        window.show();
        box->setFocus();
    }
};

// When a window was first shown, counted from this object's making.
struct ShownAt : QObject
{
    QElapsedTimer clock;
    qint64 ms = -1;

    ShownAt() { clock.start(); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show && ms < 0)
            ms = clock.elapsed();
        return false;
    }
};

} // namespace

class tst_frmProgress : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_services = std::make_unique<testsupport::FakeServices>(); }
    void cleanup() { m_services.reset(); }

    void appearsLateAndCancels_data();
    void appearsLateAndCancels();
    void barAndPointer();

private:
    std::unique_ptr<testsupport::FakeServices> m_services;
};

void tst_frmProgress::appearsLateAndCancels_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("キャンセル") << "button";
    QTest::newRow("close box") << "close";
    QTest::newRow("Esc") << "Esc";
    // The program closing closes it before it has even appeared.
    QTest::newRow("closed while hidden") << "hidden";
}

void tst_frmProgress::appearsLateAndCancels()
{
    QFETCH(QString, how);
    OtherWindow owner;
    ShownAt shown;
    frmProgress progress(&owner.window);
    progress.installEventFilter(&shown);
    QSignalSpy cancelled(progress.control(), &platform::TransferControl::cancelled);
    if (how != u"hidden") {
        // Not before its delay (less the 5% by which a coarse timer may fire
        // early), however late a busy machine lets it come.
        QTRY_VERIFY(progress.isVisible());
        QVERIFY2(shown.ms >= frmProgress::ShowDelayMs * 9 / 10, qPrintable(QString::number(shown.ms)));
        QCOMPARE(QApplication::activeModalWidget(), &progress);
        // Enter stops nothing by chance.
        QTest::keyClick(&progress, Qt::Key_Return);
        QCOMPARE(cancelled.size(), 0);
    }
    if (how == u"button")
        QTest::mouseClick(child<QPushButton>(&progress, "cmdProgressCancel"), Qt::LeftButton);
    else if (how == u"Esc")
        QTest::keyClick(&progress, Qt::Key_Escape);
    else
        progress.close();
    QCOMPARE(cancelled.size(), 1);
    QVERIFY(progress.wasCanceled());
}

void tst_frmProgress::barAndPointer()
{
    platform::FakeMousePointer &pointer = m_services->mousePointer;
    {
        frmProgress progress(nullptr);
        auto *bar = child<QProgressBar>(&progress, "barProgress");
        // Sizes beyond an int still fill the bar in proportion; a new step is busy again.
        progress.control()->reportProgress(qint64(3) << 40, qint64(4) << 40);
        QCOMPARE(double(bar->value()) / bar->maximum(), 0.75);
        progress.setStep(QStringLiteral("ダウンロードしています（3/3）"), QStringLiteral("c"));
        QCOMPARE(bar->maximum(), 0);

        // Over the button the ordinary pointer; gone while it rests there, the hourglass again.
        auto *button = child<QPushButton>(&progress, "cmdProgressCancel");
        QEnterEvent enter({}, {}, {});
        QCoreApplication::sendEvent(button, &enter);
        QVERIFY(pointer.ordinaryOverControl);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(button, &leave);
        QVERIFY(!pointer.ordinaryOverControl);
        QCoreApplication::sendEvent(button, &enter);
    }
    QVERIFY(!pointer.ordinaryOverControl);

    // The real pointer changes shape only under the hourglass.
    platform::QtMousePointer real;
    real.setHourglass();
    real.setOrdinaryOverControl(true);
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);
    real.setOrdinaryOverControl(false);
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    real.setDefault();
    real.setOrdinaryOverControl(true);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

QTEST_MAIN(tst_frmProgress)
#include "tst_frmprogress.moc"
