// The program's modules as Qt plug-ins: each loads as the interface it
// offers, and everything else is refused with the reason on standard error.

#include "platform/http.h"
#include "platform/module.h"
#include "platform/sound.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTest>

namespace {

enum class Wanted { Sound, HttpTransfer };

const QString soundModule = QStringLiteral(PROGRAM_DIR "/modules/harovan_sound.so");
const QString networkModule = QStringLiteral(PROGRAM_DIR "/modules/harovan_network.so");

} // namespace

class tst_Module : public QObject
{
    Q_OBJECT

private slots:
    void load_data();
    void load();
};

void tst_Module::load_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<Wanted>("wanted");
    QTest::addColumn<QString>("refusal"); // what standard error says; empty: loaded

    QTest::newRow("the chime") << soundModule << Wanted::Sound << QString();
    QTest::newRow("the transfers") << networkModule << Wanted::HttpTransfer << QString();
    QTest::newRow("missing") << QStringLiteral(PROGRAM_DIR "/modules/no_such_module.so") << Wanted::Sound
                             << QStringLiteral("there is no such file");
    // A module of this program in the wrong place offers the wrong interface.
    QTest::newRow("the transfers asked for the chime")
        << networkModule << Wanted::Sound
        << QStringLiteral("it offers jp.example.harovan.HttpTransfer/1 where jp.example.harovan.Sound/1 is needed");
    QTest::newRow("the chime asked for the transfers")
        << soundModule << Wanted::HttpTransfer
        << QStringLiteral("it offers jp.example.harovan.Sound/1 where jp.example.harovan.HttpTransfer/1 is needed");
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
        if (http)
            QVERIFY(http->get(QStringLiteral("file:///etc/passwd")).error.startsWith(u"not an http"));
    }
}

QTEST_GUILESS_MAIN(tst_Module)
#include "tst_module.moc"
