#include "platform/shell.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The real desktop shell against an opener of the test's own: PATH holds only
// an xdg-open that records what it was given and answers as the row says.
class tst_Shell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Without xdg-open, Qt would fall back on a browser these name.
        qunsetenv("BROWSER");
        qunsetenv("DEFAULT_BROWSER");
    }

    void cleanup() { qputenv("PATH", m_path); }

    void opens_data()
    {
        QTest::addColumn<QString>("answer"); // the opener's last line; null: no opener at all
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("told"); // whether the caller heard that nothing opened it

        const QString help = QStringLiteral("/usr/lib/harovan/ReadMe.html");
        QTest::newRow("a file, by its path")
            << "exit 0" << QStringLiteral("/tmp/データ/年賀状（令和8年度版）.xml") << false;
        QTest::newRow("an address, as it is")
            << "exit 0" << QStringLiteral("http://example.jp/nenga/?a=1&b=2") << false;
        QTest::newRow("the opener gives up") << "exit 1" << help << true;
        QTest::newRow("no opener, no browser") << QString() << help << true;
        // xdg-open may run the browser itself: an ending after the answer time is the browser's.
        QTest::newRow("still running at its answer time") << "/bin/sleep 0.5; exit 1" << help << false;
    }

    void opens()
    {
        QFETCH(QString, answer);
        QFETCH(QString, target);
        QFETCH(bool, told);
        QTemporaryDir bin;
        QVERIFY(bin.isValid());
        const QString opener = bin.filePath(QStringLiteral("xdg-open"));
        if (!answer.isNull()) {
            QFile script(opener);
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\nprintf '%s' \"$1\" > \"$0.given\"\n" + answer.toUtf8() + '\n');
            script.close();
            QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
        }
        qputenv("PATH", QFile::encodeName(bin.path()));

        platform::DesktopShell shell(std::chrono::milliseconds(200));
        int tellings = 0;
        shell.open(target, [&tellings] { ++tellings; });
        QTRY_VERIFY_WITH_TIMEOUT(shell.idle(), 5000);

        QCOMPARE(tellings, told ? 1 : 0);
        if (!answer.isNull()) {
            QFile given(opener + QStringLiteral(".given"));
            QVERIFY(given.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromUtf8(given.readAll()), target);
        }
    }

private:
    const QByteArray m_path = qgetenv("PATH");
};

QTEST_MAIN(tst_Shell)
#include "tst_shell.moc"
