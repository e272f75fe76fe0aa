#include "core/NewDataListJob.h"

#include "core/DataInForce.h"

NewDataListJob::NewDataListJob(DataInForce &data, QObject *parent)
    : Job(parent)
    , m_data(data)
{ }

NewDataListJob::~NewDataListJob() = default;

void NewDataListJob::start()
{
    if (isRunning())
        return;
    m_status = -1;
    m_duplicates.clear();
    begin();
    emit stepStarted(QStringLiteral("新着データリストを読み込んでいます…"), {});
    ++m_transfers;
    m_transfer = platform::Service<platform::HttpTransfer>::get().start(modNengajo::ListDocumentUrl(), this);
}

void NewDataListJob::stop()
{
    m_transfer.reset();
    m_status = m_data.GetNewDataList({false, {}, QStringLiteral("cancelled"), 0, true}, &m_duplicates);
}

void NewDataListJob::reportProgress(qint64 received, qint64 total)
{
    emit progressed(received, total);
}

void NewDataListJob::transferEnded(const platform::HttpResult &result)
{
    // Handled from the event loop: the transfer may be telling this from
    // inside its own work, or before its start() has returned.
    QMetaObject::invokeMethod(
        this,
        [this, result, transfer = m_transfers] {
            if (!isRunning() || m_transfers != transfer)
                return;
            m_transfer.reset();
            m_status = m_data.GetNewDataList(result, &m_duplicates);
            end();
        },
        Qt::QueuedConnection);
}
