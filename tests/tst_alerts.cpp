#include "fakeservices.h"
#include "testsupport.h"

#include "platform/module.h"
#include "platform/sound.h"
#include "platform/tickcount.h"
#include "platform/windowflash.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include <time.h>

namespace {

// The processor time the calling thread has used, in milliseconds.
qint64 threadCpuMs()
{
    timespec used {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return qint64(used.tv_sec) * 1000 + used.tv_nsec / 1000000;
}

using namespace std::chrono_literals;

const char *const ChimeProgram = "TST_ALERTS_CHIME";

// The test started again as the program: the chime's module loaded, two hits,
// and after a second it quits, telling the longest pause of its event loop.
int chimeAsTheProgram()
{
    platform::SystemSound beep;
    platform::Deferred<platform::Sound> sound(QStringLiteral(PROGRAM_DIR "/modules/harovan_sound.so"), beep);
    QElapsedTimer clock;
    qint64 longest = 0;
    clock.start();
    QTimer turns;
    QObject::connect(&turns, &QTimer::timeout, &turns, [&] { longest = std::max(longest, clock.restart()); });
    turns.start(20ms);
    sound.load();
    for (const auto hit : {200ms, 600ms})
        QTimer::singleShot(hit, &turns, [&sound] { sound.playAsync(QStringLiteral(PROGRAM_DIR "/atari.wav")); });
    QTimer::singleShot(1s, &turns, [] { QApplication::quit(); });
    const int status = QApplication::exec();
    std::printf("%lld\n", static_cast<long long>(longest));
    return status;
}

} // namespace

// The hit announcement: the caption flash timed on the tick count, and the
// real services behind it: the millisecond tick count, the flash itself, and
// the chime's module.
class TestAlerts : public QObject
{
    Q_OBJECT

private slots:
    // Against the steady clock: 50 ticks take at least about 50 ms of it
    // (timed from before the first reading), and the ticks cover at least
    // about as many milliseconds as it has counted (timed from after).
    void tickCountAdvancesInMilliseconds()
    {
        platform::RealTickCount tickCount;
        QElapsedTimer before;
        before.start();
        const std::uint32_t first = tickCount.now();
        QElapsedTimer after;
        after.start();
        const auto ticks = [&] { return static_cast<std::uint32_t>(tickCount.now() - first); };
        QVERIFY(QTest::qWaitFor([&] { return ticks() >= 50; }, 5000));
        const qint64 sinceBefore = before.elapsed();
        const qint64 sinceAfter = after.elapsed();
        const std::uint32_t elapsed = ticks();
#ifdef Q_OS_WIN
        // Windows' tick count moves in steps of the system timer, up to 16 ms.
        const qint64 step = 16;
#else
        const qint64 step = 1;
#endif
        QVERIFY2(sinceBefore >= 50 - step, qPrintable(QString::number(sinceBefore)));
        QVERIFY2(
            qint64(elapsed) >= sinceAfter - step, qPrintable(QStringLiteral("%1 of %2").arg(elapsed).arg(sinceAfter)));
    }

    void flashTiming_data()
    {
        QTest::addColumn<int>("flashTime");
        QTest::addColumn<quint32>("start");
        QTest::addColumn<quint32>("step");
        QTest::addColumn<quint32>("cycle"); // ticks from one cycle's start to the next

        // The first reading starts the cycle; it ends at the first reading more
        // than 200 past it, and the next cycle starts one reading later.
        QTest::newRow("class 1") << 5 << 0u << 50u << 300u;
        QTest::newRow("class 5") << 1 << 0u << 50u << 300u;
        QTest::newRow("upper-digit prompt") << 2 << 1000u << 1u << 202u;
        // A cycle that starts less than 200 before the wrap still lasts 200.
        QTest::newRow("across the wrap of the counter") << 3 << 0xFFFFFF9Cu << 50u << 300u;
        QTest::newRow("wrap by one tick") << 2 << 0xFFFFFFFFu << 7u << 210u;
        QTest::newRow("one cycle") << 0 << 0u << 100u << 400u;
        QTest::newRow("no cycle") << -1 << 0u << 50u << 0u;
    }

    void flashTiming()
    {
        QFETCH(int, flashTime);
        QFETCH(quint32, start);
        QFETCH(quint32, step);
        QFETCH(quint32, cycle);
        testsupport::FakeServices fakes;
        fakes.tickCount.value = start;
        fakes.tickCount.step = step;
        fakes.windowFlash.currentTick = [&] { return fakes.tickCount.value; };
        QWidget window;

        platform::flashCaption(&window, flashTime, QString());

        const int cycles = std::max(flashTime + 1, 0);
        QCOMPARE(fakes.windowFlash.inversions, cycles + 1);
        QCOMPARE(fakes.windowFlash.restores, 1);
        QCOMPARE(fakes.windowFlash.lastWindow, &window);
        const QList<std::uint32_t> &at = fakes.windowFlash.ticksAtInversion;
        QCOMPARE(at.size(), cycles + 1);
        quint32 previous = start;
        for (int i = 0; i < cycles; ++i) {
            QCOMPARE(static_cast<quint32>(at.at(i) - previous), cycle);
            previous = at.at(i);
        }
        // The last inversion follows the last cycle at once.
        QCOMPARE(at.last(), previous);
    }

    // The flash waits real time: one cycle lasts more than 200 ms, spent
    // asleep rather than keeping a processor busy.
    void flashTakesItsTime()
    {
        testsupport::FakeServices fakes;
        platform::RealTickCount tickCount;
        platform::ScopedService<platform::TickCount> tickGuard(tickCount);
        QWidget window;
        // Painted once first, so what is measured is the waiting.
        platform::flashCaption(&window, -1, QString());

        QElapsedTimer clock;
        clock.start();
        const qint64 cpuBefore = threadCpuMs();
        platform::flashCaption(&window, 1, QString());
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
#ifdef Q_OS_WIN
        // Windows inverts the caption itself (FlashWindowEx): its text stays.
        window.show();
        for (QWidget *named : {&child, &window, &window})
            flash.invert(named, QStringLiteral("inverted"));
        flash.restore(&window);
        flash.restore(&window);
        flash.invert(nullptr, QString());
        QCOMPARE(window.windowTitle(), QStringLiteral("Harovan"));
#else
        flash.restore(&window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Harovan"));

        // The flash always acts on the window, whichever of its widgets is named.
        const QString marked = QStringLiteral("inverted");
        flash.invert(&child, marked);
        QCOMPARE(window.windowTitle(), marked);
        flash.invert(&window, marked);
        QCOMPARE(window.windowTitle(), QStringLiteral("Harovan"));
        flash.invert(&window, marked);
        QCOMPARE(window.windowTitle(), marked);

        flash.restore(&window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Harovan"));
        flash.restore(&window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Harovan"));
        flash.invert(nullptr, marked);
#endif
    }

    // The chime's module sits beside the program and makes the sound; without
    // it every sound is the beep, and nothing fails.
    void chimeModuleLoads()
    {
#ifdef Q_OS_WIN
        // Windows plays the chime itself (PlaySoundW), with or without a module.
        QCOMPARE(platform::soundModulePath(), QString());
        platform::SystemSound chime;
        chime.playAsync(QStringLiteral(PROGRAM_DIR "/atari.wav"));
        chime.playAsync(QStringLiteral(PROGRAM_DIR "/no_such_sound.wav"));
#else
        platform::SystemSound beep;
        platform::Deferred<platform::Sound> chime(QStringLiteral(PROGRAM_DIR "/modules/harovan_sound.so"), beep);
        QVERIFY(chime.load());
        platform::Deferred<platform::Sound> missing(QStringLiteral(PROGRAM_DIR "/modules/no_such_module.so"), beep);
        QVERIFY(!missing.load());
        missing.playAsync(QStringLiteral(PROGRAM_DIR "/atari.wav"));
#endif
    }

    // A sound server that takes the connection and never answers (as PipeWire's
    // PulseAudio service without its session manager never starts a stream)
    // holds up neither the window nor quitting, and the program ends cleanly.
    void chimeNeverHoldsUpTheWindow()
    {
#ifdef Q_OS_WIN
        QSKIP("PulseAudio's server: Windows plays the chime itself");
#endif
        QTemporaryDir runtime;
        QLocalServer silent;
        QVERIFY(runtime.isValid() && silent.listen(runtime.filePath(QStringLiteral("native"))));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + silent.fullServerName());
        environment.insert(QString::fromLatin1(ChimeProgram), QStringLiteral("1"));
        QProcess program;
        program.setProcessEnvironment(environment);

        QElapsedTimer clock;
        clock.start();
        program.start(QCoreApplication::applicationFilePath(), {});
        const bool ended = program.waitForFinished(5000);
        const qint64 elapsed = clock.elapsed();
        program.kill();
        const QByteArray errors = program.readAllStandardError();
        QVERIFY2(ended && program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0, errors.constData());
        // Its second, its start and a moment at the end.
        QVERIFY2(elapsed < 3000, qPrintable(QString::number(elapsed)));
        const qint64 longestPause = program.readAllStandardOutput().trimmed().toLongLong();
        QVERIFY2(longestPause > 0 && longestPause < 500, qPrintable(QString::number(longestPause)));
        QVERIFY2(errors.contains("the program ends without waiting for it"), errors.constData());
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(ChimeProgram))
        return chimeAsTheProgram();
    TestAlerts test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_alerts.moc"
