#include "ui/PrintJob.h"

#include "platform/stoprequest.h"

#include <QPrinter>
#include <QPromise>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// The work's count: the layout from 0 to below StageSpan, the pages from
// StageSpan to twice it. A count that only grows carries the stage with it.
constexpr int StageSpan = 1000;

QString stageText(AtariPrint::Stage stage)
{
    return stage == AtariPrint::Stage::Layout ? QStringLiteral("印刷の準備をしています…")
                                              : QStringLiteral("印刷しています…");
}

} // namespace

PrintJob::PrintJob(QObject *parent)
    : Job(parent)
{
    connect(&m_watcher, &QFutureWatcher<QString>::progressValueChanged, this, &PrintJob::showProgress);
    connect(&m_watcher, &QFutureWatcher<QString>::finished, this, &PrintJob::workEnded);
}

// The work owns the printer and its copy of the content: it may end on its own after the job.
PrintJob::~PrintJob()
{
    m_watcher.disconnect(this);
    m_watcher.future().cancel();
}

void PrintJob::start(std::unique_ptr<QPrinter> printer, AtariPrintContent content)
{
    if (isRunning())
        return;
    m_outcome = {};
    m_stage = AtariPrint::Stage::Layout;
    begin();
    emit stepStarted(stageText(m_stage), {});
    // No result: stopped.
    m_watcher.setFuture(QtConcurrent::run([printer = std::shared_ptr<QPrinter>(std::move(printer)),
                                              content = std::move(content)](QPromise<Outcome<>> &promise) {
        promise.setProgressRange(0, 2 * StageSpan);
        bool stopped = false;
        const Outcome<> printed
            = AtariPrint::print(*printer, content, [&](AtariPrint::Stage stage, qsizetype done, qsizetype total) {
                  const qsizetype span = stage == AtariPrint::Stage::Layout ? StageSpan - 1 : StageSpan;
                  const qsizetype base = stage == AtariPrint::Stage::Layout ? 0 : StageSpan;
                  promise.setProgressValue(int(base + (total > 0 ? span * std::min(done, total) / total : 0)));
                  stopped = promise.isCanceled() || platform::stopRequested();
                  return !stopped;
              });
        if (!stopped)
            promise.addResult(printed);
    }));
}

void PrintJob::stop()
{
    m_watcher.future().cancel();
}

void PrintJob::showProgress(int value)
{
    const AtariPrint::Stage stage = value < StageSpan ? AtariPrint::Stage::Layout : AtariPrint::Stage::Paint;
    if (stage != m_stage) {
        m_stage = stage;
        emit stepStarted(stageText(stage), {});
    }
    emit progressed(stage == AtariPrint::Stage::Layout ? value : value - StageSpan, StageSpan);
}

void PrintJob::workEnded()
{
    // A run cancelled has ended already.
    if (!isRunning())
        return;
    const QFuture<Outcome<>> future = m_watcher.future();
    m_outcome = future.resultCount() > 0 ? future.result() : Outcome<>();
    end();
}
