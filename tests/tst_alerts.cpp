#include "fakeservices.h"
#include "testsupport.h"

#include "platform/sound.h"
#include "platform/tickcount.h"
#include "platform/windowflash.h"
#include "ui/frmMain.h"

#include <QElapsedTimer>
#include <QThread>

#include <time.h>

namespace {

// The processor time the calling thread has used, in milliseconds.
qint64 threadCpuMs()
{
    timespec used {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return qint64(used.tv_sec) * 1000 + used.tv_nsec / 1000000;
}

} // namespace

// The real services behind the hit announcement: the millisecond tick count
// that times the caption flash, the flash itself, and the chime's module.
class TestAlerts : public QObject
{
    Q_OBJECT

private slots:
    void tickCountAdvancesInMilliseconds()
    {
        platform::RealTickCount tickCount;
        const std::uint32_t first = tickCount.now();
        QThread::msleep(50);
        const auto elapsed = static_cast<std::uint32_t>(tickCount.now() - first);
        QVERIFY2(elapsed >= 45 && elapsed < 5000, qPrintable(QString::number(elapsed)));
    }

    // The flash waits real time: one cycle lasts more than 200 ms, spent
    // asleep rather than keeping a processor busy.
    void flashTakesItsTime()
    {
        testsupport::ProgramFolderFixture folder;
        testsupport::FakeServices fakes;
        platform::RealTickCount tickCount;
        platform::ScopedService<platform::TickCount> tickGuard(tickCount);
        frmMain window;
        // Painted once first, so what is measured is the waiting.
        window.Flash(-1);

        QElapsedTimer clock;
        clock.start();
        const qint64 cpuBefore = threadCpuMs();
        window.Flash(1);
        const qint64 cpu = threadCpuMs() - cpuBefore;
        const qint64 elapsed = clock.elapsed();

        QVERIFY2(elapsed >= 400 && elapsed < 5000, qPrintable(QString::number(elapsed)));
        QCOMPARE(fakes.windowFlash.inversions, 1 + 3);
        QVERIFY2(
            cpu * 4 < elapsed, qPrintable(QStringLiteral("%1 ms of processor time in %2 ms").arg(cpu).arg(elapsed)));
    }

    void titleFlashTogglesAndRestores()
    {
        QWidget window;
        window.setWindowTitle(QStringLiteral("Harovan"));
        QWidget child(&window);
        platform::TitleFlash flash;

        flash.restore(&window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Harovan"));

        // The flash always acts on the window, whichever of its widgets is named.
        flash.invert(&child);
        const QString marked = window.windowTitle();
        QVERIFY(marked != QStringLiteral("Harovan"));
        QVERIFY(marked.contains(QStringLiteral("Harovan")));
        flash.invert(&window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Harovan"));
        flash.invert(&window);
        QCOMPARE(window.windowTitle(), marked);

        flash.restore(&window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Harovan"));
        flash.restore(&window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Harovan"));
        flash.invert(nullptr);
    }

    // The chime's module sits beside the program and makes the sound; without
    // it every sound is the beep, and nothing fails.
    void chimeModuleLoads()
    {
        platform::DeferredSound chime(QStringLiteral(PROGRAM_DIR "/modules/harovan_sound.so"));
        QVERIFY(chime.load());
        platform::DeferredSound missing(QStringLiteral(PROGRAM_DIR "/modules/no_such_module.so"));
        QVERIFY(!missing.load());
        missing.playAsync(QStringLiteral(PROGRAM_DIR "/atari.wav"));
    }
};

QTEST_MAIN(TestAlerts)
#include "tst_alerts.moc"
