#pragma once

#include "core/TransferJob.h"

#include <QStringList>

class DataInForce;

// The list fetch of the download command: fetches the list document from
// the download server and reads it into the NewDataList of the data in force
// (DataInForce::GetNewDataList), whose result it keeps. A cancelled fetch
// leaves the list empty, with the result -1.
class NewDataListJob final : public TransferJob
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
    void transferDone(const platform::HttpResult &result) override;

    DataInForce &m_data;
    qint16 m_status = -1;
    QStringList m_duplicates;
};
