#include "core/NewDataListJob.h"

#include "core/DataInForce.h"

NewDataListJob::NewDataListJob(DataInForce &data, QObject *parent)
    : TransferJob(parent)
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
    transfer(modNengajo::ListDocumentUrl());
}

void NewDataListJob::stop()
{
    dropTransfer();
    m_status = m_data.GetNewDataList({false, {}, QStringLiteral("cancelled"), 0, true}, &m_duplicates);
}

void NewDataListJob::transferDone(const platform::HttpResult &result)
{
    m_status = m_data.GetNewDataList(result, &m_duplicates);
    end();
}
