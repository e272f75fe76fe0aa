#pragma once

#include "core/Job.h"
#include "core/modNengajo.h"
#include "platform/http.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

// Downloads new data files one after another and stores each in the data
// folder: the work of the download dialog's ダウンロード, which the dialog
// starts and shows. A body that is no data file is not stored and the next
// file is fetched; a transfer or a write that fails ends the job, and the
// files stored before it stay. Its steps read "ダウンロードしています（2/3）"
// with the entry's title.
class DownloadJob final : public Job, private platform::TransferWatch
{
    Q_OBJECT

public:
    enum class Outcome { NotStarted, Running, Completed, Failed, Cancelled };

    explicit DownloadJob(QObject *parent = nullptr);
    ~DownloadJob() override;

    // Starts on these entries, in their order, into the data folder new files go to.
    void start(const QList<NewDataEntry> &entries);

    Outcome outcome() const { return m_outcome; }
    // One "・" + title + CR LF per stored file, in the entries' order.
    const QString &report() const { return m_report; }
    // The same for each file that was no data file and was not stored.
    const QString &refused() const { return m_refused; }
    // Why a file could not be written, when the writer says; empty otherwise.
    const QString &failure() const { return m_failure; }

private:
    void stop() override;
    void reportProgress(qint64 received, qint64 total) override;
    void transferEnded(const platform::HttpResult &result) override;
    void transferNext();
    void store(const platform::HttpResult &result);
    void finish(Outcome outcome);

    QList<NewDataEntry> m_entries;
    QString m_dataFolder;
    qsizetype m_next = 0; // the entry being fetched
    quint64 m_transfers = 0; // started so far: an end heard late is known by its number
    std::unique_ptr<platform::RunningTransfer> m_transfer;
    Outcome m_outcome = Outcome::NotStarted;
    QString m_report;
    QString m_refused;
    QString m_failure;
};
