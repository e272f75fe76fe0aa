// The book's file on every system, Windows under Wine too: what tst_ataribook
// cannot check there.
#include "core/AtariBook.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_BookFile : public QObject
{
    Q_OBJECT

private slots:
    void folderNames_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("ASCII") << u"H"_s;
        // On Windows SQLite reads the path as UTF-8, never in the local code page.
        QTest::newRow("Japanese") << u"テスト/H"_s;
        QTest::newRow("accented") << u"é/H"_s;
    }
    // The book is made where its path says, and read back there, by the
    // window and by the login reminder.
    void folderNames()
    {
        QFETCH(QString, folder);
        QTemporaryDir dir;
        const QString path = dir.filePath(folder + u"/atari.db"_s);
        const AtariDraw draw {u"年賀状"_s, u"令和8"_s, u"年賀状（令和8年度版）.xml"_s, QDate(2026, 7, 21)};
        {
            AtariBook book(path);
            QCOMPARE(book.add(draw, u"109681"_s, 1, u"現金"_s), AtariBook::Added::Added);
        }
        QVERIFY(QFileInfo(path).isFile());
        QCOMPARE(AtariBook(path, AtariBook::Access::ReadOnly).pendingDraws().size(), 1);
        AtariBook book(path);
        QCOMPARE(book.open(), AtariBook::State::Ready);
        QCOMPARE(book.cards(draw).size(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_BookFile)
#include "tst_bookfile.moc"
