// The program's hot paths: reading one data file as start-up and the card-type
// dialog do, validating a whole data folder as the dialog does at every
// opening, and judging cards.

#include "core/AtariHantei.h"
#include "core/DataFileList.h"
#include "core/DataInForce.h"
#include "core/modNengajo.h"
#include "platform/fakes/fakemessagebox.h"
#include "platform/fakes/fakeprogramfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString BundledFile = QStringLiteral("年賀状（令和8年度版）.xml");

QString bundledPath(const QString &name)
{
    return QStringLiteral(PROGRAM_DATA_DIR "/") + name;
}

// A throw-away program folder installed as the program's folder, with the
// schema and either `copies` data files (the bundled ones in turn) or one.
class ProgramFolder
{
public:
    explicit ProgramFolder(int copies)
        : m_folder(m_dir.path())
        , m_folderGuard(m_folder)
        , m_boxGuard(m_box)
    {
        QDir(m_dir.path()).mkdir(QStringLiteral("data"));
        QFile::copy(bundledPath(modNengajo::SchemaFileName), dataPath(modNengajo::SchemaFileName));
        const QStringList bundled = QDir(QStringLiteral(PROGRAM_DATA_DIR)).entryList({QStringLiteral("*.xml")});
        for (int i = 0; i < copies; ++i)
            QFile::copy(bundledPath(bundled.at(i % bundled.size())), dataPath(QStringLiteral("card%1.xml").arg(i)));
        if (copies == 0)
            QFile::copy(bundledPath(BundledFile), dataPath(BundledFile));
    }

    QString dataPath(const QString &name = {}) const { return m_dir.path() + QStringLiteral("/data/") + name; }
    const platform::FakeMessageBox &box() const { return m_box; }

private:
    QTemporaryDir m_dir;
    platform::FakeProgramFolder m_folder;
    platform::ScopedService<platform::ProgramFolder> m_folderGuard;
    platform::FakeMessageBox m_box;
    platform::ScopedService<platform::MessageBox> m_boxGuard;
};

void BM_LoadDataFile(benchmark::State &state)
{
    const ProgramFolder folder(0);
    DataInForce inForce;
    DataLoad load;
    for (auto _ : state)
        benchmark::DoNotOptimize(load = inForce.LoadDataFile(BundledFile));
    if (!load.loaded() || inForce.winningData().intClassCount != 3)
        state.SkipWithError("the data file did not load");
}
BENCHMARK(BM_LoadDataFile)->Unit(benchmark::kMicrosecond);

// What the card-type dialog does before it opens: list the folder and validate
// every data file in it against the schema.
void BM_ValidateFolder(benchmark::State &state)
{
    const ProgramFolder folder(static_cast<int>(state.range(0)));
    const QString schemaPath = folder.dataPath(modNengajo::SchemaFileName);
    int valid = 0;
    for (auto _ : state) {
        valid = 0;
        const QDir data(folder.dataPath());
        for (const QString &name : data.entryList({QStringLiteral("*.xml")}, QDir::Files))
            valid += modNengajo::ValidateDataFile(folder.dataPath(name), schemaPath).isEmpty() ? 1 : 0;
        benchmark::DoNotOptimize(valid);
    }
    if (valid != state.range(0))
        state.SkipWithError("a data file did not validate");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ValidateFolder)->Arg(100)->Unit(benchmark::kMillisecond);

// The card-type dialog's list as it opens: every data file validated, its
// year read, and the list put newest draw first.
void BM_ListDataFiles(benchmark::State &state)
{
    const ProgramFolder folder(static_cast<int>(state.range(0)));
    qsizetype listed = 0;
    for (auto _ : state) {
        listed = modNengajo::ListDataFiles().size();
        benchmark::DoNotOptimize(listed);
    }
    if (listed != state.range(0))
        state.SkipWithError("a data file was not listed");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListDataFiles)->Arg(100)->Unit(benchmark::kMillisecond);

// Loading (validation included) files of up to 1 MiB built to make the parse
// slow: 0, 9000 references to a 5 KB entity (refused); 1, goods written as
// 200,000 character references (valid, loaded); 2, the same in 80,000 CDATA sections.
void BM_LoadHostileFile(benchmark::State &state)
{
    const ProgramFolder folder(0);
    const QString name = QStringLiteral("hostile.xml");
    QByteArray content;
    if (state.range(0) == 0) {
        QFile fixture(QStringLiteral(TEST_DATA_DIR "/load_repeated_entity.xml"));
        if (fixture.open(QIODevice::ReadOnly))
            content = fixture.readAll();
    } else {
        const QByteArray piece = state.range(0) == 1 ? QByteArray("&#49;") : QByteArray("<![CDATA[a]]>");
        content = "<tousen xmlns=\"urn:tousen\" type=\"t\" year=\"1\"><toukyu name=\"1\"><number>12</number><syouhin>"
            + piece.repeated(1'000'000 / piece.size()) + "</syouhin></toukyu></tousen>";
    }
    QFile file(folder.dataPath(name));
    if (content.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        state.SkipWithError("the file could not be written");
        return;
    }
    file.close();
    DataInForce inForce;
    for (auto _ : state)
        benchmark::DoNotOptimize(inForce.LoadDataFile(name));
}
BENCHMARK(BM_LoadHostileFile)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Judging the lower two digits of 1,000,000 cards against a loaded file.
void BM_JudgeTwoDigits(benchmark::State &state)
{
    const ProgramFolder folder(0);
    DataInForce inForce;
    if (!inForce.LoadDataFile(BundledFile).loaded()) {
        state.SkipWithError("the data file did not load");
        return;
    }
    const WinningData &data = inForce.winningData();
    QStringList entries;
    for (int i = 0; i < 100; ++i)
        entries.append(QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')));

    constexpr int Cards = 1'000'000;
    AtariHantei hantei;
    for (auto _ : state) {
        int hits = 0;
        for (int card = 0; card < Cards; ++card)
            hits += hantei.AtariHantei_Simo(data, entries.at(card % 100)) != AtariHantei::SimoHazure;
        benchmark::DoNotOptimize(hits);
    }
    state.SetItemsProcessed(state.iterations() * Cards);
}
BENCHMARK(BM_JudgeTwoDigits)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
