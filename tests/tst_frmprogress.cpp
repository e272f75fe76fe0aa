// The progress window of every job on its own: when it appears, cancelling,
// its bar and the pointer. What each job tells it is tested with the job.

#include "fakeservices.h"
#include "testsupport.h"
#include "ui/frmProgress.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
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

} // namespace

class tst_frmProgress : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_services = std::make_unique<testsupport::FakeServices>(); }
    void cleanup() { m_services.reset(); }

    void appearsLateAndCancels_data();
    void appearsLateAndCancels();
    void goesWithItsJob();
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
}

void tst_frmProgress::appearsLateAndCancels()
{
    QFETCH(QString, how);
    OtherWindow owner;
    testsupport::HandJob job;
    job.start();
    QPointer<frmProgress> progress = frmProgress::follow(&job, &owner.window);
    QSignalSpy finished(&job, &Job::finished);
    // Its timer brings it up half a second on, not before.
    auto *timer = child<QTimer>(progress, "tmrProgressShow");
    QVERIFY(timer->isActive());
    QVERIFY(timer->isSingleShot());
    QCOMPARE(timer->interval(), frmProgress::ShowDelayMs);
    QVERIFY(!progress->isVisible());
    timer->setInterval(0);
    QTRY_VERIFY(progress->isVisible());
    QCOMPARE(QApplication::activeModalWidget(), progress.data());
    QCOMPARE(progress->windowTitle(), QStringLiteral("Harovan"));
    // Enter stops nothing by chance.
    QTest::keyClick(progress, Qt::Key_Return);
    QVERIFY(!job.stopped);

    if (how == u"button")
        QTest::mouseClick(child<QPushButton>(progress, "cmdProgressCancel"), Qt::LeftButton);
    else if (how == u"Esc")
        QTest::keyClick(progress, Qt::Key_Escape);
    else
        QVERIFY(progress->close());
    QVERIFY(job.stopped);
    QVERIFY(job.wasCancelled());
    QCOMPARE(finished.size(), 1);
    QVERIFY(!progress->isVisible());
    // The window goes with the job it showed.
    QTRY_VERIFY(progress.isNull());
}

// A job that ends before half a second has passed never shows the window,
// even when its timer comes late; the hourglass lasts as long as the job.
void tst_frmProgress::goesWithItsJob()
{
    platform::FakeMousePointer &pointer = m_services->mousePointer;
    OtherWindow owner;
    testsupport::HandJob job;
    job.start();
    frmProgress progress(&job, &owner.window);
    QCOMPARE(pointer.events, QStringList {"hourglass"});
    bool hourglassWhenFinished = true;
    connect(&job, &Job::finished, &owner.window, [&] { hourglassWhenFinished = pointer.hourglass; });
    job.finish();
    QVERIFY(!hourglassWhenFinished);
    QCOMPARE(pointer.events, (QStringList {"hourglass", "default"}));
    auto *timer = child<QTimer>(&progress, "tmrProgressShow");
    QVERIFY(!timer->isActive());
    emit job.stepStarted(QStringLiteral("late"), {});
    QVERIFY(!progress.isVisible());
}

void tst_frmProgress::barAndPointer()
{
    platform::FakeMousePointer &pointer = m_services->mousePointer;
    {
        testsupport::HandJob job;
        job.start();
        frmProgress progress(&job, nullptr);
        auto *bar = child<QProgressBar>(&progress, "barProgress");
        // Sizes beyond an int still fill the bar in proportion; a new step is busy again.
        emit job.progressed(qint64(3) << 40, qint64(4) << 40);
        QCOMPARE(double(bar->value()) / bar->maximum(), 0.75);
        emit job.stepStarted(QStringLiteral("ダウンロードしています（3/3）"), QStringLiteral("c"));
        QCOMPARE(bar->maximum(), 0);
        QCOMPARE(child<QLabel>(&progress, "lblProgress")->text(), QStringLiteral("ダウンロードしています（3/3）\nc"));

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
