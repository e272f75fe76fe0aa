#include "core/AtariBook.h"
#include "platform/fileaccess.h"
#include "testsupport.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using State = AtariBook::State;
using Added = AtariBook::Added;

namespace {

// Set in the environment, the test runs as another program that enters cards
// "path;first;count" and prints each number entered.
const char *const OtherProgram = "TST_ATARIBOOK_ADDS";
constexpr uid_t OtherUser = 65534;

const AtariDraw Reiwa8 {u"年賀状"_s, u"令和8"_s, u"年賀状（令和8年度版）.xml"_s, QDate(2026, 7, 21)};
const AtariDraw Reiwa7 {u"年賀状"_s, u"令和7"_s, u"年賀状（令和7年度版）.xml"_s, QDate(2025, 7, 22)};

QDateTime judged(int minute)
{
    return QDateTime(QDate(2026, 1, 20), QTime(10, minute));
}

QStringList numbersOf(const QList<AtariCard> &cards)
{
    QStringList numbers;
    for (const AtariCard &card : cards)
        numbers.append(card.strNumber);
    return numbers;
}

QList<qint64> idsOf(const QList<AtariCard> &cards)
{
    QList<qint64> ids;
    for (const AtariCard &card : cards)
        ids.append(card.id);
    return ids;
}

// What a file holds; nothing for a FIFO, which is never waited on.
// The cards of the draw the book holds, and those of them not yet exchanged.
std::pair<int, int> countsOf(AtariBook &book, const AtariDraw &draw)
{
    const QList<AtariCard> cards = book.cards(draw);
    return {int(cards.size()), int(std::count_if(cards.cbegin(), cards.cend(), [](const AtariCard &card) {
                return !card.exchangedOn.isValid();
            }))};
}

QByteArray contentOf(const QString &path)
{
    QFile file;
    return platform::openRegularFile(file, path, QIODevice::ReadOnly).ok() ? file.readAll() : QByteArray();
}

bool put(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

// Statements run on the file past the book, as another program would; the
// first value of the last.
QVariant rawSql(const QString &path, const QStringList &statements)
{
    sqlite3 *opened = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &opened) != SQLITE_OK)
        qFatal("%s: %s", qPrintable(path), sqlite3_errmsg(opened));
    const std::unique_ptr<sqlite3, CloseSqlite> db(opened);
    QVariant result;
    for (const QString &sql : statements) {
        sqlite3_stmt *statement = nullptr;
        int code = sqlite3_prepare_v2(db.get(), sql.toUtf8().constData(), -1, &statement, nullptr);
        if (code == SQLITE_OK && (code = sqlite3_step(statement)) == SQLITE_ROW)
            result = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        if (code != SQLITE_ROW && code != SQLITE_DONE)
            qFatal("%s: %s", qPrintable(sql), sqlite3_errmsg(db.get()));
    }
    return result;
}

// Another database's side file as it stands while one of its changes is under
// way: its rollback journal ("-journal", past the first pages written back)
// or its log ("-wal").
QByteArray strangersSideFile(const QString &path, const QString &suffix)
{
    sqlite3 *opened = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &opened) != SQLITE_OK)
        qFatal("%s: %s", qPrintable(path), sqlite3_errmsg(opened));
    const std::unique_ptr<sqlite3, CloseSqlite> db(opened);
    const char *const notes = "CREATE TABLE notes (text);"
                              " INSERT INTO notes WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n"
                              " LIMIT 200) SELECT randomblob(1000) FROM n;";
    const QByteArray sql = suffix == u"-wal"
        ? QByteArray("PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0; ") + notes
        : QByteArray("PRAGMA cache_size = 2; ") + notes + " BEGIN; UPDATE notes SET text = randomblob(1000);";
    if (sqlite3_exec(db.get(), sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("%s", sqlite3_errmsg(db.get()));
    return contentOf(path + suffix);
}

// What the login reminder finds due: the book opened read-only.
QList<PendingDraw> dueAtLogin(const QString &path)
{
    return AtariBook(path, AtariBook::Access::ReadOnly).pendingDraws();
}

// A closed book of count six-digit cards of the 令和8 draw, from 100000 on.
void makeBook(const QString &path, int count)
{
    AtariBook book(path);
    for (int i = 0; i < count; ++i)
        book.add(Reiwa8, QString::number(100000 + i), 4, u"ふるさと小包"_s, judged(0));
}

int enterCardsAsAnotherProgram()
{
    const QStringList args = qEnvironmentVariable(OtherProgram).split(u';');
    AtariBook book(args.at(0));
    for (int i = 0; i < args.at(2).toInt(); ++i) {
        const QByteArray number = QByteArray::number(args.at(1).toInt() + i);
        // One write of a whole line, so a kill never leaves half of one.
        if (book.add(Reiwa8, QString::fromLatin1(number), 3, u"切手シート"_s) == Added::Added) {
            const QByteArray line = number + '\n';
            if (::write(STDOUT_FILENO, line.constData(), line.size()) != line.size())
                return 1;
        }
    }
    return 0;
}

// The test started again as another program entering cards.
std::unique_ptr<QProcess> startEntering(const QString &path, int first, int count)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(OtherProgram), u"%1;%2;%3"_s.arg(path).arg(first).arg(count));
    process->setProcessEnvironment(environment);
    process->start(QCoreApplication::applicationFilePath(), {});
    return process;
}

// The numbers it reported: at least count unless it ends first.
QStringList reported(QProcess &process, QByteArray &out, qsizetype count)
{
    while (out.count('\n') < count && process.waitForReadyRead(20000))
        out += process.readAllStandardOutput();
    return QString::fromLatin1(out).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

Q_DECLARE_METATYPE(AtariDraw)

class tst_AtariBook : public QObject
{
    Q_OBJECT

    QString path() const { return m_dir->filePath(u"atari.db"_s); }
    QStringList filesInFolder() const
    {
        return QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    std::optional<QTemporaryDir> m_dir;

private slots:
    void init() { m_dir.emplace(); }

    // Kept across sittings in the order judged, each draw its own; the folder
    // and the file are made with the first card.
    void keptAcrossSittings()
    {
        const QString bookPath = m_dir->filePath(u"home/harovan/atari.db"_s);
        {
            AtariBook book(bookPath);
            QCOMPARE(book.open(), State::Ready);
            QVERIFY(book.cards(Reiwa8).isEmpty());
            QVERIFY(!QFileInfo::exists(m_dir->filePath(u"home"_s)));
            book.add(Reiwa8, u"****73"_s, 3, u"お年玉切手シート"_s, judged(1));
            book.add(Reiwa8, u"109681"_s, 1, u"現金30万円\r\n電子マネー31万円分"_s, judged(2));
            book.add(Reiwa7, u"006417"_s, 2, u"ふるさと小包"_s, judged(3));
            QCOMPARE(book.add(Reiwa8, u"000081"_s, 3, {}, judged(4)), Added::Added);
            QCOMPARE(book.add(Reiwa8, u"****99"_s, 0, {}, judged(5)), Added::NotSaved);
        }
        QCOMPARE(QFileInfo(m_dir->filePath(u"home/harovan"_s)).permissions() & (QFile::ReadOther | QFile::ReadGroup),
            QFile::Permissions());
        // The login reminder's look leaves nothing beside a book no program has open.
        QCOMPARE(dueAtLogin(bookPath).size(), 2);
        QCOMPARE(QDir(m_dir->filePath(u"home/harovan"_s)).entryList(QDir::Files | QDir::Hidden | QDir::System),
            QStringList {u"atari.db"_s});
        AtariBook book(bookPath);
        const QList<AtariCard> cards = book.cards(Reiwa8);
        QCOMPARE(numbersOf(cards), (QStringList {u"****73"_s, u"109681"_s, u"000081"_s}));
        QCOMPARE(cards.at(1),
            (AtariCard {cards.at(1).id, u"109681"_s, 1, u"現金30万円\r\n電子マネー31万円分"_s, judged(2), {}, {}}));
        QVERIFY(cards.at(0).id < cards.at(1).id && cards.at(1).id < cards.at(2).id);
        QCOMPARE(numbersOf(book.cards(Reiwa7)), QStringList {u"006417"_s});
        // The draw is its type and year, whichever data file judged it.
        AtariDraw corrected = Reiwa8;
        corrected.strFileName = u"訂正版.xml"_s;
        QCOMPARE(countsOf(book, corrected), std::pair(3, 3));
        QCOMPARE(rawSql(bookPath, {u"PRAGMA user_version"_s}).toInt(), AtariBook::SchemaVersion);
    }

    void judgedAgain_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<AtariDraw>("again");
        QTest::addColumn<bool>("deletedBetween");
        QTest::addColumn<Added>("added");
        QTest::addColumn<int>("cards");

        QTest::newRow("six digits: one postcard") << u"109681"_s << Reiwa8 << false << Added::AlreadyInBook << 1;
        QTest::newRow("six digits of another draw") << u"109681"_s << Reiwa7 << false << Added::Added << 1;
        QTest::newRow("two digits: another postcard") << u"****73"_s << Reiwa8 << false << Added::Added << 2;
        QTest::newRow("after it was deleted") << u"109681"_s << Reiwa8 << true << Added::Added << 1;
    }
    void judgedAgain()
    {
        QFETCH(QString, number);
        QFETCH(AtariDraw, again);
        QFETCH(bool, deletedBetween);
        AtariBook book(path());
        book.add(Reiwa8, number, 3, {}, judged(1));
        if (deletedBetween)
            QVERIFY(book.remove(idsOf(book.cards(Reiwa8))));
        QTEST(book.add(again, number, 3, {}, judged(2)), "added");
        QTEST(int(book.cards(Reiwa8).size()), "cards");
    }

    void marksSendersAndDeletions()
    {
        AtariBook book(path());
        for (int i = 0; i < 4; ++i)
            book.add(Reiwa8, QString::number(200000 + i), 3, {}, judged(i));
        const QList<qint64> ids = idsOf(book.cards(Reiwa8));
        QSignalSpy changed(&book, &AtariBook::changed);

        QVERIFY(book.setExchanged({ids[0], ids[1]}, QDate(2026, 2, 1)));
        // A card marked before keeps the day it was exchanged.
        QVERIFY(book.setExchanged({ids[1], ids[2]}, QDate(2026, 2, 8)));
        QVERIFY(book.clearExchanged({ids[0]}));
        QVERIFY(book.setSender(ids[3], u"山田 花子（大阪の叔母）"_s));
        const QList<AtariCard> cards = book.cards(Reiwa8);
        QCOMPARE(cards[0].exchangedOn, QDate());
        QCOMPARE(cards[1].exchangedOn, QDate(2026, 2, 1));
        QCOMPARE(cards[2].exchangedOn, QDate(2026, 2, 8));
        QCOMPARE(cards[3].strSender, u"山田 花子（大阪の叔母）"_s);
        QCOMPARE(countsOf(book, Reiwa8), std::pair(4, 2));

        QVERIFY(book.remove({ids[1], ids[3]}));
        QCOMPARE(idsOf(book.cards(Reiwa8)), (QList<qint64> {ids[0], ids[2]}));
        QCOMPARE(changed.size(), 5);
    }

    // The draws the reminder looks at, the nearest last exchange day first,
    // each with the day its latest data file gives.
    void pendingDraws()
    {
        AtariBook book(path());
        const AtariDraw noDeadline {u"かもめ〜る"_s, u"令和8"_s, u"かもめ.xml"_s, {}};
        const AtariDraw exchanged {u"寒中見舞"_s, u"令和8"_s, u"寒中.xml"_s, QDate(2026, 3, 1)};
        book.add(Reiwa8, u"****73"_s, 3, {});
        book.add(noDeadline, u"****11"_s, 3, {});
        book.add(Reiwa7, u"****22"_s, 3, {});
        book.add(Reiwa8, u"****73"_s, 3, {});
        book.add(exchanged, u"****33"_s, 3, {});
        book.setExchanged(idsOf(book.cards(exchanged)), QDate(2026, 2, 1));
        QCOMPARE(book.pendingDraws(), (QList<PendingDraw> {{Reiwa7, 1}, {Reiwa8, 2}, {noDeadline, 1}}));
        // The login reminder's look gives the same, with the book open in the program.
        QCOMPARE(dueAtLogin(path()), book.pendingDraws());

        AtariDraw corrected = Reiwa8;
        corrected.strFileName = u"訂正版.xml"_s;
        corrected.exchangeTo = QDate(2026, 7, 31);
        QVERIFY(book.noteDraw(corrected));
        // A data file without the day keeps it.
        QVERIFY(book.noteDraw({u"年賀状"_s, u"令和8"_s, u"訂正版.xml"_s, {}}));
        QCOMPARE(book.pendingDraws().at(1), (PendingDraw {corrected, 2}));
        QCOMPARE(dueAtLogin(path()), book.pendingDraws());
    }

    void versions_data()
    {
        QTest::addColumn<QString>("made");
        QTest::addColumn<int>("version"); // written into a book
        QTest::addColumn<State>("state");
        QTest::addColumn<QString>("reason");
        QTest::newRow("newer version: refused")
            << u"book"_s << AtariBook::SchemaVersion + 1 << State::TooNew << u"新しい版のHarovan"_s;
        // No version of the program makes these: refused, and kept as a damaged book is.
        const QString unknown = u"記録の版の番号が正しくありません。"_s;
        QTest::newRow("version -1") << u"book"_s << -1 << State::Damaged << unknown;
        QTest::newRow("the smallest version")
            << u"book"_s << std::numeric_limits<int>::min() << State::Damaged << unknown;
        QTest::newRow("empty file: set up") << u"empty"_s << 0 << State::Ready << QString();
        QTest::newRow("version 0 without tables: set up") << u"version 0"_s << 0 << State::Ready << QString();
    }
    void versions()
    {
        QFETCH(QString, made);
        QFETCH(int, version);
        QFETCH(State, state);
        QFETCH(QString, reason);
        if (made == u"book") {
            makeBook(path(), 2);
            rawSql(path(), {u"PRAGMA user_version = %1"_s.arg(version)});
        } else if (made == u"empty") {
            QVERIFY(put(path(), {}));
        } else {
            rawSql(path(), {u"CREATE TABLE t (x)"_s, u"DROP TABLE t"_s});
        }
        const QByteArray before = contentOf(path());
        // The login reminder finds nothing due and leaves the file as it is.
        QVERIFY(dueAtLogin(path()).isEmpty());
        QCOMPARE(contentOf(path()), before);

        AtariBook book(path());
        QCOMPARE(book.open(), state);
        const bool refused = state != State::Ready;
        QCOMPARE(book.add(Reiwa8, u"****73"_s, 3, {}), refused ? Added::NotSaved : Added::Added);
        QCOMPARE(book.cards(Reiwa8).size(), refused ? 0 : 1);
        QCOMPARE(rawSql(path(), {u"PRAGMA user_version"_s}).toInt(), refused ? version : AtariBook::SchemaVersion);
        if (refused) {
            QVERIFY(book.message().startsWith(u"当たったはがきの記録（atari.db）を開けません。"_s + reason));
            QCOMPARE(book.canStartNew(), state == State::Damaged);
            QCOMPARE(contentOf(path()), before);
            QCOMPARE(filesInFolder(), QStringList {u"atari.db"_s});
        }
    }

    // Files the program cannot use are told of once and left as they are.
    void unusableFiles_data()
    {
        QTest::addColumn<QString>("made");
        QTest::addColumn<State>("state");
        QTest::addColumn<QString>("reason");

        QTest::newRow("text file") << u"text"_s << State::NotABook << u"Harovanの記録ではないファイルです。"_s;
        QTest::newRow("another program's database")
            << u"foreign"_s << State::NotABook << u"Harovanの記録ではないファイルです。"_s;
        QTest::newRow("a page overwritten") << u"page"_s << State::Damaged << u"ファイルが壊れています。"_s;
        QTest::newRow("cut short") << u"cut"_s << State::Damaged << u"ファイルが壊れています。"_s;
        QTest::newRow("a folder of that name")
            << u"folder"_s << State::Unreadable << u"同じ名前のフォルダーがあります。"_s;
        // Opening a FIFO waits for its other end.
        QTest::newRow("a FIFO") << u"fifo"_s << State::Unreadable << u"通常のファイルではありません。"_s;
        // Books of the right version with something of their own that runs on the program's statements.
        const QString notABook = u"Harovanの記録ではないファイルです。"_s;
        QTest::newRow("a trigger that deletes the other cards")
            << u"CREATE TRIGGER t AFTER INSERT ON cards BEGIN DELETE FROM cards WHERE id <> new.id; END"_s
            << State::NotABook << notABook;
        QTest::newRow("a trigger that never ends")
            << u"CREATE TRIGGER t AFTER INSERT ON cards BEGIN SELECT count(*) FROM"
               " (WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT n FROM r); END"_s
            << State::NotABook << notABook;
        QTest::newRow("cards an endless view")
            << u"DROP TABLE cards\nCREATE VIEW cards (id, draw_id, number, class, prize, judged_at, sender,"
               " exchanged_on) AS WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r)"
               " SELECT n, 1, '', 3, '', '', '', NULL FROM r"_s
            << State::NotABook << notABook;
        QTest::newRow("an index of its own")
            << u"CREATE INDEX by_sender ON cards (sender)"_s << State::NotABook << notABook;
        // A book with another database's side file beside it, which SQLite would write into it.
        QTest::newRow("another database's journal beside it")
            << u"-journal"_s << State::Damaged
            << u"記録の横に、ほかのデータベースのジャーナル（atari.db-journal）があります。"_s;
        QTest::newRow("another database's log beside it")
            << u"-wal"_s << State::Damaged << u"記録の横に、ほかのデータベースのログ（atari.db-wal）があります。"_s;
        QTest::newRow("an empty file with another database's log beside it")
            << u"empty -wal"_s << State::Damaged
            << u"記録の横に、ほかのデータベースのログ（atari.db-wal）があります。"_s;
    }
    void unusableFiles()
    {
        QFETCH(QString, made);
        QFETCH(State, state);
        QFETCH(QString, reason);
        if (made == u"text") {
            QVERIFY(put(path(), "109681,1等\n"));
        } else if (made == u"foreign") {
            rawSql(path(), {u"CREATE TABLE cards (number TEXT)"_s, u"INSERT INTO cards VALUES ('109681')"_s});
        } else if (made == u"folder") {
            QVERIFY(QDir(m_dir->path()).mkdir(u"atari.db"_s));
        } else if (made == u"fifo") {
            QVERIFY(::mkfifo(QFile::encodeName(path()).constData(), 0600) == 0);
        } else if (made.endsWith(u"-journal") || made.endsWith(u"-wal")) {
            if (made.startsWith(u"empty"))
                QVERIFY(put(path(), {}));
            else
                makeBook(path(), 4);
            const QString suffix = made.section(u' ', -1);
            QVERIFY(put(path() + suffix, strangersSideFile(m_dir->filePath(u"other.db"_s), suffix)));
            QVERIFY(QFile::remove(m_dir->filePath(u"other.db"_s)));
        } else if (made.startsWith(u"CREATE") || made.startsWith(u"DROP")) {
            makeBook(path(), 4);
            rawSql(path(), made.split(u'\n'));
        } else {
            makeBook(path(), 60);
            QByteArray bytes = contentOf(path());
            if (made == u"page")
                bytes.replace(4096, 4096, QByteArray(4096, '\xff'));
            else
                bytes.truncate(bytes.size() / 2);
            QVERIFY(put(path(), bytes));
        }
        const QByteArray before = contentOf(path());
        const QString side = made.contains(u'-') ? path() + made.section(u' ', -1) : QString();
        const QByteArray sideBefore = contentOf(side);
        // The login reminder finds nothing due, and waits on nothing.
        QVERIFY(dueAtLogin(path()).isEmpty());

        AtariBook book(path());
        QSignalSpy stateChanged(&book, &AtariBook::stateChanged);
        QCOMPARE(book.open(), state);
        QCOMPARE(book.add(Reiwa8, u"****73"_s, 3, {}), Added::NotSaved);
        QVERIFY(book.cards(Reiwa8).isEmpty());
        QCOMPARE(stateChanged.size(), 1);
        QCOMPARE(book.message(),
            u"当たったはがきの記録（atari.db）を開けません。"_s + reason
                + u"\r\nはがきのチェックはこのまま続けられますが、当たったはがきは記録されません。\r\n\r\n"_s + path());
        QCOMPARE(book.canStartNew(), state != State::Unreadable);
        QCOMPARE(contentOf(path()), before);
        QCOMPARE(contentOf(side), sideBefore);
        // Only SQLite's index of a log is made beside it.
        QStringList files = filesInFolder();
        if (side.endsWith(u"-wal"))
            files.removeOne(u"atari.db-shm"_s);
        const QStringList expected
            = side.isEmpty() ? QStringList {u"atari.db"_s} : QStringList {u"atari.db"_s, QFileInfo(side).fileName()};
        QCOMPARE(files, expected);
        if (side.isEmpty())
            return;
        // Kept aside as they are, the stranger where SQLite never reads it into the book.
        QCOMPARE(book.startNewBook(QDate(2026, 1, 20)).words, QString());
        const QString aside = path() + u".damaged-20260120"_s;
        QCOMPARE(contentOf(aside), before);
        QCOMPARE(contentOf(aside + side.mid(path().size()) + u".other"_s), sideBefore);
        QVERIFY(!QFileInfo::exists(aside + side.mid(path().size())));
    }

    // A value longer than any card holds is never read into memory: the book
    // is told as damaged, and what does not read it goes on.
    void valueTooLong()
    {
        makeBook(path(), 2);
        rawSql(path(), {u"UPDATE cards SET prize = printf('%.*c', 2000000, 'x') WHERE number = '100001'"_s});
        AtariBook book(path());
        QCOMPARE(book.open(), State::Ready);
        QCOMPARE(book.pendingDraws().size(), 1);
        QVERIFY(book.cards(Reiwa8).isEmpty());
        QCOMPARE(book.state(), State::Damaged);
        QCOMPARE(book.message().section(u'\r', 0, 0),
            u"当たったはがきの記録（atari.db）を開けません。記録に長すぎる値があります。"_s);
        QVERIFY(book.canStartNew());
    }

    // Only when the user agrees: the file kept under a free name beside it,
    // and an empty book in its place.
    void newBookBesideTheDamagedOne()
    {
        const QDate today(2026, 1, 20);
        QVERIFY(put(path(), "not a book"));
        QVERIFY(put(path() + u".damaged-20260120"_s, "kept before"));
        AtariBook book(path());
        QCOMPARE(book.open(), State::NotABook);
        QCOMPARE(book.newBookQuestion(today),
            u"新しい記録を始めますか？\r\n今のファイルは「atari.db.damaged-20260120-2」という名前で同じフォルダーに残します。"_s);

        QCOMPARE(book.startNewBook(today).words, QString());
        QCOMPARE(contentOf(path() + u".damaged-20260120-2"_s), QByteArray("not a book"));
        QCOMPARE(contentOf(path() + u".damaged-20260120"_s), QByteArray("kept before"));
        QCOMPARE(book.add(Reiwa8, u"****73"_s, 3, {}), Added::Added);
        // A book that can be used is never moved aside.
        QVERIFY(!book.startNewBook(today).ok());
        QCOMPARE(book.cards(Reiwa8).size(), 1);
    }

    void readOnly_data()
    {
        QTest::addColumn<QString>("readOnly");
        QTest::addColumn<bool>("administrator");
        QTest::newRow("the file") << u"file"_s << false;
        QTest::newRow("its folder") << u"folder"_s << false;
        // The system lets the administrator write anything; the book stays read-only all the same.
        QTest::newRow("the file, for the administrator") << u"file"_s << true;
    }
    // The cards are shown, nothing is changed, nothing is left beside the file.
    void readOnly()
    {
        QFETCH(QString, readOnly);
        QFETCH(bool, administrator);
        if (administrator && ::geteuid() != 0)
            QSKIP("run by the administrator only");
        makeBook(path(), 2);
        const QByteArray folder = QFile::encodeName(m_dir->path());
        const QByteArray file = QFile::encodeName(path());
        // Root may write anything: the book is another user's, read in a child process.
        const bool root = ::geteuid() == 0 && !administrator;
        if (root)
            QVERIFY(::chown(folder.constData(), OtherUser, OtherUser) == 0
                && ::chown(file.constData(), OtherUser, OtherUser) == 0);
        QVERIFY(::chmod(file.constData(), readOnly == u"file" ? 0444 : 0644) == 0);
        QVERIFY(::chmod(folder.constData(), readOnly == u"folder" ? 0555 : 0755) == 0);
        const QByteArray before = contentOf(path());

        const QString seen = testsupport::inChildWithFileLimit(
            RLIM_INFINITY,
            [&] {
                AtariBook book(path());
                return QStringList {QVariant::fromValue(book.open()).toString(),
                    QString::number(book.cards(Reiwa8).size()),
                    QVariant::fromValue(book.add(Reiwa8, u"****73"_s, 3, {})).toString(),
                    QString::number(book.setSender(1, u"x"_s)), book.message().section(u'\r', 0, 0)}
                    .join(u'|');
            },
            root ? std::optional<uid_t>(OtherUser) : std::nullopt);
        ::chmod(folder.constData(), 0700);

        QCOMPARE(seen,
            u"ReadOnly|2|NotSaved|0|当たったはがきの記録（atari.db）に書き込めません。書き込みが許可されていません。"_s);
        QCOMPARE(contentOf(path()), before);
        QCOMPARE(filesInFolder(), QStringList {u"atari.db"_s});
    }

    void links_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<State>("state");
        QTest::newRow("a book kept elsewhere") << u"book"_s << State::Ready;
        QTest::newRow("an empty file") << u"empty"_s << State::Unreadable;
        QTest::newRow("nothing") << u"missing"_s << State::Unreadable;
    }
    // A link named atari.db is followed to an existing book only, by the
    // window and the login reminder alike; nothing is made or set up at its
    // target, and a refusal is told in words.
    void links()
    {
        QFETCH(QString, target);
        QFETCH(State, state);
        QVERIFY(QDir(m_dir->path()).mkdir(u"synced"_s));
        const QString elsewhere = m_dir->filePath(u"synced/atari.db"_s);
        if (target == u"book")
            makeBook(elsewhere, 2);
        else if (target == u"empty")
            QVERIFY(put(elsewhere, {}));
        QVERIFY(QFile::link(elsewhere, path()));
        const QByteArray before = contentOf(elsewhere);

        const bool used = state == State::Ready;
        QCOMPARE(dueAtLogin(path()).size(), used ? 1 : 0);
        AtariBook book(path());
        QCOMPARE(book.open(), state);
        QCOMPARE(book.add(Reiwa8, u"****73"_s, 3, {}), used ? Added::Added : Added::NotSaved);
        QCOMPARE(book.cards(Reiwa8).size(), used ? 3 : 0);
        QVERIFY(QFileInfo(path()).isSymLink());
        if (used)
            return;
        QCOMPARE(book.message().section(u'\r', 0, 0),
            u"当たったはがきの記録（atari.db）を開けません。リンク先がHarovanの記録ではありません。"_s);
        QVERIFY(!book.canStartNew());
        QCOMPARE(QFileInfo::exists(elsewhere), target == u"empty");
        QCOMPARE(contentOf(elsewhere), before);
    }

    void fullDisk_data()
    {
        QTest::addColumn<bool>("idsUsedUp");
        QTest::addColumn<QString>("reason"); // empty: any
        QTest::newRow("the disk") << false << QString();
        // SQLite tells it as a full disk.
        QTest::newRow("card ids used up") << true << u"記録できるはがきの通し番号を使い切りました。"_s;
    }
    // A change that meets a full disk, or a book whose card ids are used up,
    // fails whole and is told; what was written before stays.
    void fullDisk()
    {
        QFETCH(bool, idsUsedUp);
        QFETCH(QString, reason);
        makeBook(path(), 1);
        if (idsUsedUp)
            rawSql(path(), {u"UPDATE sqlite_sequence SET seq = 9223372036854775807 WHERE name = 'cards'"_s});
        const rlim_t limit = idsUsedUp ? RLIM_INFINITY : 64 * 1024;
        const QStringList seen = testsupport::inChildWithFileLimit(limit, [&] {
            AtariBook book(path());
            QStringList numbers;
            for (int i = 300000; i < 300050 && book.add(Reiwa8, QString::number(i), 3, {}) == Added::Added; ++i)
                numbers.append(QString::number(i));
            return QVariant::fromValue(book.state()).toString() + u'|' + book.message().section(u'\r', 0, 0) + u'|'
                + numbers.join(u',');
        }).split(u'|');
        QCOMPARE(seen.value(0), u"WriteFailed"_s);
        QVERIFY(seen.value(1).startsWith(u"当たったはがきの記録（atari.db）に書き込めませんでした。"_s + reason));

        AtariBook book(path());
        QCOMPARE(book.open(), State::Ready);
        QCOMPARE(
            numbersOf(book.cards(Reiwa8)), QStringList {u"100000"_s} + seen.value(2).split(u',', Qt::SkipEmptyParts));
        QVERIFY(book.cards(Reiwa8).size() < 51);
    }

    // A class no data file has is a damaged row, never another class (16 bits would wrap it).
    void classesOutsideTheData_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("toukyu");
        QTest::newRow("5") << u"5"_s << 5;
        for (const char *stored : {"6", "32768", "70000", "4294967299", "'x'"})
            QTest::newRow(stored) << QString::fromLatin1(stored) << int(AtariCard::DamagedClass);
    }
    void classesOutsideTheData()
    {
        makeBook(path(), 1);
        rawSql(path(), {u"UPDATE cards SET class = "_s + QTest::currentDataTag()});
        QTEST(int(AtariBook(path()).cards(Reiwa8).value(0).intToukyu), "toukyu");
    }

    // Held by another program as it opens: cards are not recorded, and the next one is once it lets go.
    void heldAsTheBookOpens()
    {
        makeBook(path(), 1);
        sqlite3 *opened = nullptr;
        sqlite3_open(QFile::encodeName(path()).constData(), &opened);
        std::unique_ptr<sqlite3, CloseSqlite> other(opened);
        QCOMPARE(sqlite3_exec(other.get(), "PRAGMA locking_mode = EXCLUSIVE; UPDATE draws SET id = id", {}, {}, {}),
            SQLITE_OK);
        AtariBook book(path());
        QCOMPARE(book.open(), State::Unreadable);
        other.reset();
        QCOMPARE(book.add(Reiwa8, u"200000"_s, 3, {}), Added::Added);
        QCOMPARE(book.state(), State::Ready);
    }

    // Killed at any moment while judging, the program loses no card it
    // reported as entered, and leaves a book that opens.
    void killedWhileAdding()
    {
        QStringList entered;
        for (int round = 0; round < 8; ++round) {
            const auto program = startEntering(path(), round * 10000, 10000);
            QByteArray out;
            reported(*program, out, 5 + round * 7);
            program->kill();
            program->waitForFinished();
            out += program->readAllStandardOutput();
            entered += reported(*program, out, 0);
        }
        AtariBook book(path());
        QCOMPARE(book.open(), State::Ready);
        const QStringList held = numbersOf(book.cards(Reiwa8));
        for (const QString &number : std::as_const(entered))
            QVERIFY2(held.contains(number), qPrintable(number));
        // At most the card being entered is there unreported.
        QVERIFY(held.size() <= entered.size() + 8);
    }

    // Two programs on one book: each sees the other's changes at once, and
    // neither loses a card when both enter them at the same time.
    void twoPrograms()
    {
        {
            AtariBook first(path());
            AtariBook second(path());
            QCOMPARE(second.open(), State::Ready);
            first.add(Reiwa8, u"109681"_s, 1, {});
            QCOMPARE(second.add(Reiwa8, u"109681"_s, 1, {}), Added::AlreadyInBook);
            QVERIFY(second.setExchanged(idsOf(second.cards(Reiwa8)), QDate(2026, 2, 1)));
            QCOMPARE(countsOf(first, Reiwa8), std::pair(1, 0));
        }
        const auto one = startEntering(path(), 300000, 60);
        const auto other = startEntering(path(), 400000, 60);
        QByteArray oneOut;
        QByteArray otherOut;
        QCOMPARE(reported(*one, oneOut, 60).size(), 60);
        QCOMPARE(reported(*other, otherOut, 60).size(), 60);
        QVERIFY(one->waitForFinished() && other->waitForFinished());
        AtariBook book(path());
        QCOMPARE(countsOf(book, Reiwa8), std::pair(121, 120));
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(OtherProgram))
        return enterCardsAsAnotherProgram();
    tst_AtariBook test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ataribook.moc"
