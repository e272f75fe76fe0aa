#pragma once

#include "core/Job.h"
#include "platform/http.h"

#include <QString>

#include <memory>

// A job whose work is transfers from the network, one at a time: the list
// fetch and the downloads. Each transfer's progress is the job's; its end is
// handed to transferDone() from the event loop (the transfer may tell it
// from inside its own work, or before its start() has returned), and an end
// heard after the job was cancelled or moved on is dropped.
class TransferJob : public Job, private platform::TransferWatch
{
    Q_OBJECT

public:
    using Job::Job;
    ~TransferJob() override;

protected:
    // Starts fetching url; an earlier transfer still running is dropped.
    void transfer(const QString &url);
    // Drops the running transfer: its end is never heard.
    void dropTransfer();
    // The transfer started last has ended, while the job runs.
    virtual void transferDone(const platform::HttpResult &result) = 0;

private:
    void reportProgress(qint64 received, qint64 total) override;
    void transferEnded(const platform::HttpResult &result) override;

    std::unique_ptr<platform::RunningTransfer> m_transfer;
    quint64 m_transfers = 0; // started so far: an end heard late is known by its number
};
