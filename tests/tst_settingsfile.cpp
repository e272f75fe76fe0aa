#include "platform/settingsfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The INI file behind settings.ini: read as the system's profile functions read
// it, written so that everything else in the file survives.
class TestSettingsFile : public QObject
{
    Q_OBJECT

private:
    QString write(const QByteArray &content)
    {
        const QString path = m_dir.filePath(QStringLiteral("settings.ini"));
        QFile file(path);
        file.remove();
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write the test file");
        return path;
    }
    static QByteArray contentOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir m_dir;
    platform::IniSettingsFile m_ini;

private slots:
    void init() { QFile::remove(m_dir.filePath(QStringLiteral("settings.ini"))); }

    void read_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<QString>("expected");

        // Finding the key
        QTest::newRow("plain") << QByteArray("[Settings]\nFileName=a.xml\n") << 512 << "a.xml";
        QTest::newRow("crlf") << QByteArray("[Settings]\r\nFileName=a.xml\r\n") << 512 << "a.xml";
        QTest::newRow("no final newline") << QByteArray("[Settings]\nFileName=a.xml") << 512 << "a.xml";
        QTest::newRow("names in other case") << QByteArray("[settings]\nFILENAME=a.xml\n") << 512 << "a.xml";
        QTest::newRow("blanks around") << QByteArray("  [ Settings ]  \n  FileName  =  a b.xml  \n") << 512
                                       << "a b.xml";
        QTest::newRow("quoted value") << QByteArray("[Settings]\nFileName=\" a.xml \"\n") << 512 << " a.xml ";
        QTest::newRow("japanese value") << QByteArray("[Settings]\nFileName=年賀状（令和8年版）.xml\n") << 512
                                        << QStringLiteral("年賀状（令和8年版）.xml");
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[Settings]\nFileName=a.xml\n") << 512 << "a.xml";
        QTest::newRow("first of two keys")
            << QByteArray("[Settings]\nFileName=a.xml\nFileName=b.xml\n") << 512 << "a.xml";
        QTest::newRow("after comments and other keys") << QByteArray(
            "; remembered file\n[Other]\nFileName=wrong.xml\n[Settings]\n;FileName=c.xml\nX=1\n"
            "FileName=a.xml\n") << 512 << "a.xml";
        QTest::newRow("empty value") << QByteArray("[Settings]\nFileName=\n") << 512 << "";
        QTest::newRow("equals in value") << QByteArray("[Settings]\nFileName=a=b.xml\n") << 512 << "a=b.xml";

        // Falling back to the default
        QTest::newRow("empty file") << QByteArray() << 512 << "default";
        QTest::newRow("key in another section") << QByteArray("[Other]\nFileName=a.xml\n") << 512 << "default";
        QTest::newRow("key before any section") << QByteArray("FileName=a.xml\n[Settings]\n") << 512 << "default";
        QTest::newRow("line without equals") << QByteArray("[Settings]\nFileName\n") << 512 << "default";

        // The buffer: maxBytes - 1 bytes, never half a character
        const QByteArray long511 = QByteArray(511, 'a');
        QTest::newRow("511 bytes whole") << QByteArray("[Settings]\nFileName=" + long511 + "\n") << 512
                                         << QString::fromLatin1(long511);
        QTest::newRow("512 bytes cut") << QByteArray("[Settings]\nFileName=" + long511 + "b\n") << 512
                                       << QString::fromLatin1(long511);
        // "あ" is three bytes: 170 of them are 510 bytes, the 171st does not fit.
        const QString kana = QString(171, QChar(0x3042));
        QTest::newRow("cut before a split character")
            << QByteArray("[Settings]\nFileName=" + kana.toUtf8() + "\n") << 512 << kana.left(170);
        QTest::newRow("tiny buffer") << QByteArray("[Settings]\nFileName=abc\n") << 3 << "ab";
        QTest::newRow("no room at all") << QByteArray("[Settings]\nFileName=abc\n") << 1 << "";
    }

    void read()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, maxBytes);
        QFETCH(QString, expected);
        const QString path = write(content);
        QCOMPARE(m_ini.readString(
                     path, QStringLiteral("Settings"), QStringLiteral("FileName"), QStringLiteral("default"), maxBytes),
            expected);
    }

    void readMissingFileGivesDefault()
    {
        QCOMPARE(m_ini.readString(m_dir.filePath(QStringLiteral("none.ini")), QStringLiteral("Settings"),
                     QStringLiteral("FileName"), QStringLiteral("default"), 512),
            QStringLiteral("default"));
        QCOMPARE(m_ini.readString(m_dir.path(), QStringLiteral("Settings"), QStringLiteral("FileName"), QString(), 512),
            QString());
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before"); // "<missing>": no file yet
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("new file") << QByteArray("<missing>") << "a.xml" << QByteArray("[Settings]\nFileName=a.xml\n");
        QTest::newRow("new file, empty value")
            << QByteArray("<missing>") << "" << QByteArray("[Settings]\nFileName=\n");
        QTest::newRow("japanese value") << QByteArray("<missing>") << QStringLiteral("年賀状（平成17年度版）.xml")
                                        << QByteArray("[Settings]\nFileName=年賀状（平成17年度版）.xml\n");
        QTest::newRow("replace, keeping everything else")
            << QByteArray("; my settings\r\n[Window]\r\nLeft=10\r\n\r\n[settings]\r\n; last file\r\nfilename = "
                          "old.xml\r\nOther=1\r\n\r\n[Tail]\r\nZ=\xE3\x81\x82\r\n")
            << "new.xml"
            << QByteArray("; my settings\r\n[Window]\r\nLeft=10\r\n\r\n[settings]\r\n; last file\r\nfilename=new."
                          "xml\r\nOther=1\r\n\r\n[Tail]\r\nZ=\xE3\x81\x82\r\n");
        QTest::newRow("key added at the end of its section")
            << QByteArray("[Settings]\nOther=1\n\n[Tail]\nZ=2\n") << "a.xml"
            << QByteArray("[Settings]\nOther=1\nFileName=a.xml\n\n[Tail]\nZ=2\n");
        QTest::newRow("key added to the last section without final newline") << QByteArray(
            "[Settings]\r\nOther=1") << "a.xml" << QByteArray("[Settings]\r\nOther=1\r\nFileName=a.xml\r\n");
        QTest::newRow("section added after the others") << QByteArray(
            "[Other]\r\nX=1") << "a.xml" << QByteArray("[Other]\r\nX=1\r\n[Settings]\r\nFileName=a.xml\r\n");
        QTest::newRow("only the first of two keys replaced") << QByteArray(
            "[Settings]\nFileName=a\nFileName=b\n") << "c" << QByteArray("[Settings]\nFileName=c\nFileName=b\n");
        QTest::newRow("byte order mark kept") << QByteArray("\xEF\xBB\xBF[Settings]\nFileName=a\n") << "b"
                                              << QByteArray("\xEF\xBB\xBF[Settings]\nFileName=b\n");
        QTest::newRow("empty file") << QByteArray("") << "a" << QByteArray("[Settings]\nFileName=a\n");
        // Values that reading would trim or unquote go in quotes.
        QTest::newRow("blanks at the ends kept")
            << QByteArray("<missing>") << " a b.xml " << QByteArray("[Settings]\nFileName=\" a b.xml \"\n");
        QTest::newRow("quotes at the ends kept")
            << QByteArray("<missing>") << "'a.xml'" << QByteArray("[Settings]\nFileName=\"'a.xml'\"\n");
    }

    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        const QString path = m_dir.filePath(QStringLiteral("settings.ini"));
        if (before != "<missing>")
            write(before);
        QVERIFY(m_ini.writeString(path, QStringLiteral("Settings"), QStringLiteral("FileName"), value));
        QCOMPARE(contentOf(path), after);
        // What was written reads back.
        QCOMPARE(
            m_ini.readString(path, QStringLiteral("Settings"), QStringLiteral("FileName"), QStringLiteral("x"), 512),
            value);
    }

    void unwritableFileIsLeftAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("read-only file") << "read-only";
        QTest::newRow("missing folder") << "missing folder";
        QTest::newRow("a folder of that name") << "folder";
        QTest::newRow("value with a line break") << "line break";
    }

    void unwritableFileIsLeftAlone()
    {
        QFETCH(QString, kind);
        const QByteArray original("[Settings]\nFileName=old.xml\n");
        QString path = write(original);
        QString value = QStringLiteral("new.xml");
        if (kind == u"read-only")
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser));
        else if (kind == u"missing folder")
            path = m_dir.filePath(QStringLiteral("none/settings.ini"));
        else if (kind == u"folder")
            path = m_dir.path();
        else
            value = QStringLiteral("a.xml\n[Evil]\nX=1");

        QVERIFY(!m_ini.writeString(path, QStringLiteral("Settings"), QStringLiteral("FileName"), value));
        const QString originalPath = m_dir.filePath(QStringLiteral("settings.ini"));
        QCOMPARE(contentOf(originalPath), original);
        QFile::setPermissions(originalPath, QFile::ReadOwner | QFile::WriteOwner);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
