#include "core/DownloadJob.h"

#include "core/NewData.h"
#include "core/UserFiles.h"

DownloadJob::DownloadJob(QObject *parent)
    : TransferJob(parent)
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
    dropTransfer();
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
    transfer(entry.strXmlUrl);
}

void DownloadJob::transferDone(const platform::HttpResult &result)
{
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
