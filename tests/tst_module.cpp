// The program's modules as Qt plug-ins: each loads as the interface it
// offers, and everything else is refused with the reason on standard error.

#include "platform/http.h"
#include "platform/module.h"
#include "platform/sound.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <sys/stat.h>

namespace {

enum class Wanted { Sound, HttpTransfer };

// Keeps how a transfer ended.
struct Ended final : platform::TransferWatch
{
    std::optional<platform::HttpResult> result;
    void reportProgress(qint64, qint64) override { }
    void transferEnded(const platform::HttpResult &ended) override { result = ended; }
};

// Answers every transfer with a failure of its own words, counting them.
struct CountingFallback final : platform::HttpTransfer
{
    int calls = 0;
    std::unique_ptr<platform::RunningTransfer> start(const QString &, platform::TransferWatch *watch) override
    {
        ++calls;
        return platform::endedTransfer(watch, {false, {}, QStringLiteral("fallback")});
    }
};

const QString soundModule = QStringLiteral(PROGRAM_DIR "/modules/harovan_sound.so");
const QString networkModule = QStringLiteral(PROGRAM_DIR "/modules/harovan_network.so");

} // namespace

class tst_Module : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void load_data();
    void load();
    void deferredFallsBack_data();
    void deferredFallsBack();

private:
    // A module as the package ships it (stripped), of which only the first bytes arrived.
    QString damaged(const QString &module, const QString &name, qint64 keptBytes = -1);
    QString fifo();

    QTemporaryDir m_dir;
};

QString tst_Module::damaged(const QString &module, const QString &name, qint64 keptBytes)
{
    const QString path = m_dir.filePath(name);
    if (QProcess::execute(QStringLiteral("strip"), {QStringLiteral("-o"), path, module}) != 0)
        qFatal("strip could not copy %s", qPrintable(module));
    QFile file(path);
    file.resize(keptBytes >= 0 ? keptBytes : file.size() / 2);
    return path;
}

QString tst_Module::fifo()
{
    const QString path = m_dir.filePath(QStringLiteral("fifo.so"));
    if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0)
        qFatal("cannot make a FIFO");
    return path;
}

void tst_Module::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void tst_Module::load_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<Wanted>("wanted");
    QTest::addColumn<QString>("refusal"); // what standard error says; empty: loaded

    QTest::newRow("the chime") << soundModule << Wanted::Sound << QString();
    QTest::newRow("the transfers") << networkModule << Wanted::HttpTransfer << QString();
    QTest::newRow("missing") << QStringLiteral(PROGRAM_DIR "/modules/no_such_module.so") << Wanted::Sound
                             << QStringLiteral("The shared library was not found.");
    // A half-finished copy of the program folder: the program goes without the
    // module, as if it were missing, instead of dying of a bus error.
    QTest::newRow("the chime cut in half") << damaged(soundModule, QStringLiteral("sound.so")) << Wanted::Sound
                                           << QStringLiteral("a program header entry extends past the end of the file");
    QTest::newRow("the transfers cut in half")
        << damaged(networkModule, QStringLiteral("network.so")) << Wanted::HttpTransfer
        << QStringLiteral("a program header entry extends past the end of the file");
    QTest::newRow("cut inside the program headers") << damaged(networkModule, QStringLiteral("headers.so"),
        100) << Wanted::HttpTransfer << QStringLiteral("program header table extends past the end of the file");
    QTest::newRow("nothing of it arrived") << damaged(soundModule, QStringLiteral("empty.so"), 0) << Wanted::Sound
                                           << QStringLiteral("is not a valid Qt plugin");
    // Opening a FIFO would wait for a writer for good.
    QTest::newRow("a FIFO in its place") << fifo() << Wanted::Sound
                                         << QStringLiteral("The shared library was not found.");
    // A module of this program in the wrong place offers the wrong interface.
    QTest::newRow("the transfers asked for the chime")
        << networkModule << Wanted::Sound
        << QStringLiteral("it offers jp.example.harovan.HttpTransfer/2 where jp.example.harovan.Sound/1 is needed");
    QTest::newRow("the chime asked for the transfers")
        << soundModule << Wanted::HttpTransfer
        << QStringLiteral("it offers jp.example.harovan.Sound/1 where jp.example.harovan.HttpTransfer/2 is needed");
    // A file that is no Qt plug-in, such as a module of an earlier build.
    QTest::newRow("a program") << QCoreApplication::applicationFilePath() << Wanted::Sound
                               << QStringLiteral("is not a Qt plugin");
}

void tst_Module::load()
{
    QFETCH(QString, path);
    QFETCH(Wanted, wanted);
    QFETCH(QString, refusal);

    if (refusal.isEmpty())
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    else
        QTest::ignoreMessage(QtWarningMsg,
            QRegularExpression(QStringLiteral("^The module %1 is not loaded: .*%2")
                                   .arg(QRegularExpression::escape(path), QRegularExpression::escape(refusal))));

    if (wanted == Wanted::Sound) {
        platform::Module<platform::Sound> module(path);
        QCOMPARE(module.get() != nullptr, refusal.isEmpty());
        QCOMPARE(module.get() != nullptr, refusal.isEmpty()); // tried once, told once
    } else {
        platform::Module<platform::HttpTransfer> module(path);
        platform::HttpTransfer *http = module.get();
        QCOMPARE(http != nullptr, refusal.isEmpty());
        // The module's own code answers: it refuses what is no web address.
        if (http) {
            Ended ended;
            const auto running = http->start(QStringLiteral("file:///etc/passwd"), &ended);
            QTRY_VERIFY(ended.result.has_value());
            QVERIFY(ended.result->error.startsWith(u"not an http"));
        }
    }
}

// A deferred service loads its module at the first call; without one the
// fallback answers, and a system with no module for it says nothing of it.
void tst_Module::deferredFallsBack_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("loaded");
    QTest::newRow("the module") << networkModule << true;
    QTest::newRow("missing") << QStringLiteral(PROGRAM_DIR "/modules/no_such_module.so") << false;
    QTest::newRow("none on this system") << QString() << false;
}

void tst_Module::deferredFallsBack()
{
    QFETCH(QString, path);
    QFETCH(bool, loaded);
    if (path.isEmpty() || loaded)
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    else
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^The module .* is not loaded: ")));
    CountingFallback fallback;
    platform::Deferred<platform::HttpTransfer> http(path, fallback);
    for (int call = 0; call < 2; ++call) {
        Ended ended;
        const auto running = http.start(QStringLiteral("file:///etc/passwd"), &ended);
        QTRY_VERIFY(ended.result.has_value());
        QCOMPARE(ended.result->error == u"fallback", !loaded);
    }
    QCOMPARE(fallback.calls, loaded ? 0 : 2);
    QCOMPARE(http.load(), loaded);
}

QTEST_GUILESS_MAIN(tst_Module)
#include "tst_module.moc"
