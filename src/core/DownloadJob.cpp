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
    m_outcome = {};
    begin();
    transferNext();
}

void DownloadJob::stop()
{
    dropTransfer();
    m_outcome = {Ending::Cancelled, {}};
}

void DownloadJob::transferNext()
{
    if (m_next >= m_entries.size()) {
        finish(Ending::Completed);
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
        finish(Ending::Failed);
        return;
    }
    const NewDataEntry &entry = m_entries.at(m_next);
    const Outcome<modNengajo::DataStored> stored = modNengajo::StoreDataFile(m_dataFolder, entry.strTitle, result.body);
    const QString line = QStringLiteral("・") + entry.strTitle + modNengajo::CrLf;
    switch (stored.code) {
    case modNengajo::DataStored::Stored:
        m_report += line;
        break;
    case modNengajo::DataStored::NotADataFile:
        m_refused += line;
        break;
    case modNengajo::DataStored::NotWritten:
        finish(Ending::Failed, stored.words);
        return;
    }
    ++m_next;
    transferNext();
}

void DownloadJob::finish(Ending ending, const QString &words)
{
    m_outcome = {ending, words};
    end();
}
