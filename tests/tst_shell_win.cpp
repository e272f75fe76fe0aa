// The real desktop shell on Windows against an opener of the test's own: this
// program, registered for the user (a throw-away Wine prefix in the tests) as
// the one that opens files ending in .harovantest and addresses beginning with
// harovantest:, records what the shell gave it.
#include "platform/shell.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

#include <windows.h>

namespace {

// Where the opener is registered: the user's classes, and under Wine 8, which
// looks up associations without them, the machine's too.
QStringList classRoots()
{
    QStringList roots {u"HKEY_CURRENT_USER\\Software\\Classes"_s};
    if (::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        roots << u"HKEY_LOCAL_MACHINE\\Software\\Classes"_s;
    return roots;
}

} // namespace

class tst_ShellWin : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString given() const { return m_dir.filePath(u"given.txt"_s); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString command
            = u"\"%1\" --record \"%2\" \"%3\""_s.arg(QDir::toNativeSeparators(QCoreApplication::applicationFilePath()),
                QDir::toNativeSeparators(given()), u"%1"_s);
        for (const QString &root : classRoots()) {
            QSettings classes(root, QSettings::NativeFormat);
            classes.setValue(u".harovantest/."_s, u"harovantest.file"_s);
            classes.setValue(u"harovantest.file/shell/open/command/."_s, command);
            classes.setValue(u"harovantest/."_s, u"URL:harovantest"_s);
            classes.setValue(u"harovantest/URL Protocol"_s, QString());
            classes.setValue(u"harovantest/shell/open/command/."_s, command);
        }
    }
    void cleanupTestCase()
    {
        for (const QString &root : classRoots()) {
            QSettings classes(root, QSettings::NativeFormat);
            for (const QString &key : {u".harovantest"_s, u"harovantest.file"_s, u"harovantest"_s})
                classes.remove(key);
        }
    }
    void cleanup() { QFile::remove(given()); }

    void opens_data()
    {
        QTest::addColumn<QString>("target"); // below the test's folder when it starts with "/"
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("received"); // what the opener gets; empty: it never runs
        QTest::newRow("a file, by its path") << u"/データ/年賀状（令和8年度版）.harovantest"_s << true
                                             << u"\\データ\\年賀状（令和8年度版）.harovantest"_s;
        QTest::newRow("an address, as it is")
            << u"harovantest://example.jp/nenga/?a=1&b=2"_s << false << u"harovantest://example.jp/nenga/?a=1&b=2"_s;
        QTest::newRow("no program for the file") << u"/ReadMe.harovannone"_s << true << QString();
        QTest::newRow("no file") << u"/missing.harovantest"_s << false << QString();
    }
    void opens()
    {
        QFETCH(QString, target);
        QFETCH(bool, exists);
        QFETCH(QString, received);
        const QString path = target.startsWith(u'/') ? m_dir.path() + target : target;
        if (exists) {
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }

        platform::DesktopShell shell;
        int tellings = 0;
        shell.open(path, [&tellings] { ++tellings; });

        QCOMPARE(tellings, received.isEmpty() ? 1 : 0);
        if (!received.isEmpty()) {
            QTRY_VERIFY(QFileInfo(given()).size() > 0);
            QFile file(given());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString expected
                = target.startsWith(u'/') ? QDir::toNativeSeparators(m_dir.path()) + received : received;
            QCOMPARE(QString::fromUtf8(file.readAll()), expected);
        }
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // Started by the shell as the opener: writes down what it was given.
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments.at(1) == u"--record"_s) {
        QFile file(arguments.at(2));
        return file.open(QIODevice::WriteOnly) && file.write(arguments.at(3).toUtf8()) > 0 ? 0 : 1;
    }
    tst_ShellWin test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_shell_win.moc"
