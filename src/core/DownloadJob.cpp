#include "core/DownloadJob.h"

#include "core/NewData.h"
#include "core/UserFiles.h"

DownloadJob::DownloadJob(QObject *parent)
    : Job(parent)
{ }

DownloadJob::~DownloadJob() = default;

void DownloadJob::start(const QList<NewDataEntry> &entries)
{
    m_entries = entries;
    m_dataFolder = UserFiles::newDataFolder();
    m_next = 0;
    m_report.clear();
    m_refused.clear();
    m_failure.clear();
    m_outcome = Outcome::Running;
    begin();
    transferNext();
}

void DownloadJob::stop()
{
    m_transfer.reset();
    m_outcome = Outcome::Cancelled;
}

void DownloadJob::transferNext()
{
    if (m_next >= m_entries.size()) {
        finish(Outcome::Completed);
        return;
    }
    const NewDataEntry &entry = m_entries.at(m_next);
    emit stepStarted(
        QStringLiteral("ダウンロードしています（%1/%2）").arg(m_next + 1).arg(m_entries.size()), entry.strTitle);
    ++m_transfers;
    m_transfer = platform::Service<platform::HttpTransfer>::get().start(entry.strXmlUrl, this);
}

void DownloadJob::reportProgress(qint64 received, qint64 total)
{
    emit progressed(received, total);
}

void DownloadJob::transferEnded(const platform::HttpResult &result)
{
    // Handled from the event loop: the transfer may be telling this from
    // inside its own work, or before its start() has returned.
    QMetaObject::invokeMethod(
        this,
        [this, result, transfer = m_transfers] {
            if (isRunning() && m_transfers == transfer)
                store(result);
        },
        Qt::QueuedConnection);
}

void DownloadJob::store(const platform::HttpResult &result)
{
    m_transfer.reset();
    if (!result.ok) {
        finish(Outcome::Failed);
        return;
    }
    const NewDataEntry &entry = m_entries.at(m_next);
    const modNengajo::DataStoreResult stored = modNengajo::StoreDataFile(m_dataFolder, entry.strTitle, result.body);
    const QString line = QStringLiteral("・") + entry.strTitle + modNengajo::CrLf;
    switch (stored.outcome) {
    case modNengajo::DataStoreResult::Outcome::Stored:
        m_report += line;
        break;
    case modNengajo::DataStoreResult::Outcome::NotADataFile:
        m_refused += line;
        break;
    case modNengajo::DataStoreResult::Outcome::NotWritten:
        m_failure = stored.description;
        finish(Outcome::Failed);
        return;
    }
    ++m_next;
    transferNext();
}

void DownloadJob::finish(Outcome outcome)
{
    m_outcome = outcome;
    end();
}
