#include "core/SaveJob.h"

#include "core/AtariCalendar.h"
#include "platform/stoprequest.h"

#include <QPromise>

#include <QtConcurrent/QtConcurrentRun>
#include <climits>

SaveJob::SaveJob(QObject *parent)
    : Job(parent)
{
    connect(&m_watcher, &QFutureWatcher<Outcome<>>::progressValueChanged, this,
        [this](int done) { emit progressed(done, m_watcher.progressMaximum()); });
    connect(&m_watcher, &QFutureWatcher<Outcome<>>::progressTextChanged, this,
        [this](const QString &text) { emit stepStarted(text, {}); });
    connect(&m_watcher, &QFutureWatcher<Outcome<>>::finished, this, &SaveJob::workEnded);
}

// The work has copies of all it needs: it may end on its own after the job.
SaveJob::~SaveJob()
{
    m_watcher.disconnect(this);
    m_watcher.future().cancel();
}

void SaveJob::startCsv(const QString &path, const QList<AtariList::Row> &rows)
{
    run(path, QStringLiteral("CSVファイルを作っています…"), QStringLiteral("CSVファイルを保存しています…"),
        [rows](const GoOn &goOn) { return AtariList::CsvBytes(rows, goOn); });
}

void SaveJob::startCalendar(
    const QString &path, const AtariDraw &draw, const QList<AtariCard> &cards, const QDateTime &stamp)
{
    const QString saving = QStringLiteral("カレンダーのファイルを保存しています…");
    run(path, saving, saving, [draw, cards, stamp](const GoOn &goOn) {
        return goOn(0, 1) ? AtariCalendar::IcsBytes(draw, cards, stamp) : QByteArray();
    });
}

void SaveJob::run(const QString &path, const QString &making, const QString &saving, Make make)
{
    if (isRunning())
        return;
    m_outcome = {};
    begin();
    emit stepStarted(making, {});
    // No result: stopped, nothing written.
    m_watcher.setFuture(QtConcurrent::run([path, saving, make = std::move(make)](QPromise<Outcome<>> &promise) {
        const auto stopped = [&promise] { return promise.isCanceled() || platform::stopRequested(); };
        // The last step of the count is the writing, which shows its own words.
        const QByteArray bytes = make([&](qsizetype done, qsizetype total) {
            promise.setProgressRange(0, int(std::min<qsizetype>(total, INT_MAX - 1)) + 1);
            promise.setProgressValue(int(std::min<qsizetype>(done, INT_MAX - 1)));
            return !stopped();
        });
        if (bytes.isEmpty() || stopped())
            return;
        promise.setProgressValueAndText(promise.future().progressMaximum(), saving);
        promise.addResult(AtariList::SaveFile(path, bytes));
    }));
}

void SaveJob::stop()
{
    m_watcher.future().cancel();
    m_outcome = {Ending::Cancelled, {}};
}

void SaveJob::workEnded()
{
    // A run cancelled has ended already.
    if (!isRunning())
        return;
    const QFuture<Outcome<>> future = m_watcher.future();
    if (future.resultCount() == 0) {
        m_outcome = {Ending::Cancelled, {}};
    } else {
        const Outcome<> saved = future.result();
        m_outcome = {saved.ok() ? Ending::Saved : Ending::Failed, saved.words};
    }
    end();
}
