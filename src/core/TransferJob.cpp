#include "core/TransferJob.h"

TransferJob::~TransferJob() = default;

void TransferJob::transfer(const QString &url)
{
    m_transfer.reset();
    ++m_transfers;
    m_transfer = platform::Service<platform::HttpTransfer>::get().start(url, this);
}

void TransferJob::dropTransfer()
{
    m_transfer.reset();
    ++m_transfers;
}

void TransferJob::reportProgress(qint64 received, qint64 total)
{
    emit progressed(received, total);
}

void TransferJob::transferEnded(const platform::HttpResult &result)
{
    QMetaObject::invokeMethod(
        this,
        [this, result, transfer = m_transfers] {
            if (!isRunning() || m_transfers != transfer)
                return;
            m_transfer.reset();
            transferDone(result);
        },
        Qt::QueuedConnection);
}
