#include "core/AtariList.h"
#include "core/SaveJob.h"
#include "platform/stoprequest.h"
#include "testsupport.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <csignal>

namespace {

// Class 1 with three goods to choose from, class 2 and 3 with goods a
// spreadsheet must not split or run.
WinningData goodsData()
{
    using testsupport::makeClass;
    return testsupport::makeWinningData({makeClass({},
                                             {QStringLiteral("現金30万円"), QStringLiteral("電子マネー31万円分"),
                                                 QStringLiteral("切手集と現金20万円")}),
                                            makeClass({}, {QStringLiteral("=1+1 \"特選\",小包")}),
                                            makeClass({}, {QStringLiteral("＠お年玉切手シート")})},
        QStringLiteral("年賀状"), QStringLiteral("令和8"));
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class tst_AtariList : public QObject
{
    Q_OBJECT

private slots:
    // One sitting, every card shown, as the bytes a spreadsheet program opens.
    void csvOfOneSitting()
    {
        CheckRecord record;
        record.add(QStringLiteral("****99"), 0);
        record.add(QStringLiteral("109681"), 1);
        record.add(QStringLiteral("****73"), 3);
        record.add(QStringLiteral("006417"), 2);
        record.add(QStringLiteral("000081"), 0);

        const WinningData data = goodsData();
        QList<AtariList::Row> rows;
        for (qsizetype i = 0; i < record.cards().size(); ++i)
            rows.append(AtariList::MakeRow(record, i, data));
        const QByteArray expected
            = "\xEF\xBB\xBF"
              "順番,番号,等級,賞品,引換,差出人\r\n"
              "1,\"=\"\"****99\"\"\",はずれ,,,\r\n"
              "2,\"=\"\"109681\"\"\",１等,現金30万円／電子マネー31万円分／切手集と現金20万円（いずれか1点）,,\r\n"
              "3,\"=\"\"****73\"\"\",３等,'＠お年玉切手シート,,\r\n"
              "4,\"=\"\"006417\"\"\",２等,\"'=1+1 \"\"特選\"\",小包\",,\r\n"
              "5,\"=\"\"000081\"\"\",はずれ,,,\r\n";
        QCOMPARE(AtariList::CsvBytes(rows), expected);
        // Told of every row as it is made, and once all are; stopped, it makes nothing.
        QList<qsizetype> told;
        const auto stopAtThird = [&told](qsizetype done, qsizetype total) {
            told.append(done);
            return total == 5 && done < 2;
        };
        QCOMPARE(AtariList::CsvBytes(rows, stopAtThird), QByteArray());
        QCOMPARE(told, (QList<qsizetype> {0, 1, 2}));
        told.clear();
        const auto goOn = [&told](qsizetype done, qsizetype) { return told.append(done), true; };
        QCOMPARE(AtariList::CsvBytes(rows, goOn), expected);
        QCOMPARE(told, (QList<qsizetype> {0, 1, 2, 3, 4, 5}));
        // A card of the book: its mark, and the sender the user typed, kept from running as a formula.
        QCOMPARE(AtariList::CsvBytes({{1, "****73", "３等", "切手", 3, "済", "=田中,様", 7}}).split('\n').value(1),
            QByteArray("1,\"=\"\"****73\"\"\",３等,切手,済,\"'=田中,様\"\r"));

        // A won card keeps its place in the sitting among the won cards alone.
        QList<AtariList::Row> won;
        std::copy_if(rows.cbegin(), rows.cend(), std::back_inserter(won),
            [](const AtariList::Row &row) { return row.intToukyu > 0; });
        QCOMPARE(won.size(), 3);
        QCOMPARE(won.at(0),
            (AtariList::Row {2, QStringLiteral("109681"), QStringLiteral("１等"),
                QStringLiteral("現金30万円／電子マネー31万円分／切手集と現金20万円（いずれか1点）"), 1, {}, {}, 0}));
        QCOMPARE(won.at(2).intOrder, 4);

        QCOMPARE(AtariList::TotalsText(record.hitsPerClass(), record.hitTotal()),
            QStringLiteral("１等 1枚　２等 1枚　３等 1枚　合計 3枚"));
        QCOMPARE(AtariList::TypeYearText(data), QStringLiteral("【年賀状 令和8年度】"));
    }

    void saveReplacesTheFileWhole()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("当たり.csv"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(1000, 'x'));
        old.close();

        QVERIFY(AtariList::SaveFile(path, "new").ok());
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("new"));
        QCOMPARE(filesIn(folder.path()), QStringList {QStringLiteral("当たり.csv")});
    }

    // The folder holds an earlier list and a folder; neither changes.
    void saveFailureIsToldAndChangesNothing_data()
    {
        QTest::addColumn<QString>("target"); // below the temporary folder
        QTest::addColumn<qlonglong>("fileBytes"); // how large a file may grow: the disk's room
        QTest::addColumn<QString>("reason");

        const auto unlimited = static_cast<qlonglong>(RLIM_INFINITY);
        QTest::newRow("folder missing") << "missing/当たり.csv" << unlimited
                                        << QStringLiteral("フォルダーまたはファイルが見つかりません");
        QTest::newRow("target is a folder")
            << "folder" << unlimited << QStringLiteral("同じ名前のフォルダーがあります");
        QTest::newRow("full disk") << "当たり.csv" << 16LL << QStringLiteral("ディスクの空きがありません");
    }

    void saveFailureIsToldAndChangesNothing()
    {
        QFETCH(QString, target);
        QFETCH(qlonglong, fileBytes);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("folder")));
        QFile earlier(folder.filePath(QStringLiteral("当たり.csv")));
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("1,000037") == 8);
        earlier.close();
        const auto before = testsupport::snapshot(folder.path() + u'/');
        const QString path = folder.filePath(target);

        const QString message = testsupport::inChildWithFileLimit(static_cast<rlim_t>(fileBytes), [&] {
            return AtariList::SaveFile(path, AtariList::CsvBytes({{1, QStringLiteral("000037"), {}, {}, 0, {}, {}, 0}}))
                .words;
        });

        QVERIFY2(message.startsWith(
                     QStringLiteral("ファイル \"") + path + QStringLiteral("\" に保存できませんでした。\r\n") + reason),
            qPrintable(message));
        QCOMPARE(testsupport::snapshot(folder.path() + u'/'), before);
    }

    // The save job makes and writes the file on a thread of its own: start()
    // returns at once, and finished() tells the outcome; a stop saves nothing.
    void saveJob_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("logout");
        QTest::addColumn<SaveJob::Ending>("outcome");
        QTest::newRow("saved") << "当たり.csv" << false << SaveJob::Ending::Saved;
        QTest::newRow("folder missing") << "missing/当たり.csv" << false << SaveJob::Ending::Failed;
        QTest::newRow("the system asks the program to end") << "当たり.csv" << true << SaveJob::Ending::Cancelled;
    }
    void saveJob()
    {
        QFETCH(QString, target);
        QFETCH(bool, logout);
        QFETCH(SaveJob::Ending, outcome);
        QTemporaryDir folder;
        const QString path = folder.filePath(target);
        const QList<AtariList::Row> rows {{1, QStringLiteral("000037"), QStringLiteral("３等"), {}, 3, {}, {}, 0},
            {2, QStringLiteral("****73"), QStringLiteral("３等"), {}, 3, {}, {}, 0}};
        const platform::StopRequestWatcher watcher([] {});
        if (logout)
            QCOMPARE(std::raise(SIGTERM), 0);

        SaveJob job;
        QSignalSpy steps(&job, &Job::stepStarted);
        QSignalSpy finished(&job, &Job::finished);
        job.startCsv(path, rows);
        QVERIFY(job.isRunning());
        QCOMPARE(finished.size(), 0);
        QVERIFY(finished.wait());
        QCOMPARE(job.outcome().code, outcome);
        QCOMPARE(steps.first().first().toString(), QStringLiteral("CSVファイルを作っています…"));
        switch (outcome) {
        case SaveJob::Ending::Saved:
            QCOMPARE(testsupport::fileBytes(path), AtariList::CsvBytes(rows));
            QCOMPARE(steps.last().first().toString(), QStringLiteral("CSVファイルを保存しています…"));
            QCOMPARE(job.outcome().words, QString());
            break;
        case SaveJob::Ending::Failed:
            QVERIFY(job.outcome().words.startsWith(QStringLiteral("ファイル \"") + path));
            break;
        default:
            QVERIFY(filesIn(folder.path()).isEmpty());
            QCOMPARE(job.outcome().words, QString());
            break;
        }
    }

    // A cancel ends the job before it returns; the work, stopped on its
    // thread, writes nothing, and a late end is not heard.
    void saveJobCancelled()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("当たり.csv"));
        QList<AtariList::Row> rows;
        for (int i = 0; i < 2000; ++i)
            rows.append({i + 1, QStringLiteral("000037"), QStringLiteral("３等"), QString(2000, u'長'), 3, {}, {}, 0});
        SaveJob job;
        QSignalSpy finished(&job, &Job::finished);
        job.startCsv(path, rows);
        job.cancel();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(job.outcome().code, SaveJob::Ending::Cancelled);
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(finished.size(), 1);
        QVERIFY(filesIn(folder.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_AtariList)
#include "tst_atarilist.moc"
