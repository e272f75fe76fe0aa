#pragma once

#include "core/Job.h"
#include "platform/http.h"

#include <QStringList>

#include <memory>

class DataInForce;

// The list fetch of the download command: fetches the list document from
// the download server and reads it into the NewDataList of the data in force
// (DataInForce::GetNewDataList), whose result it keeps. A cancelled fetch
// leaves the list empty, with the result -1.
class NewDataListJob final : public Job, private platform::TransferWatch
{
    Q_OBJECT

public:
    explicit NewDataListJob(DataInForce &data, QObject *parent = nullptr);
    ~NewDataListJob() override;

    void start();

    // Once finished: 0 for new entries, 1 for nothing new, -1 for a failure or a cancel.
    qint16 status() const { return m_status; }
    // The titles the list held more than once, as GetNewDataList found them.
    const QStringList &duplicates() const { return m_duplicates; }

private:
    void stop() override;
    void reportProgress(qint64 received, qint64 total) override;
    void transferEnded(const platform::HttpResult &result) override;

    DataInForce &m_data;
    std::unique_ptr<platform::RunningTransfer> m_transfer;
    quint64 m_transfers = 0; // started so far: an end heard late is known by its number
    qint16 m_status = -1;
    QStringList m_duplicates;
};
