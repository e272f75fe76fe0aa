#pragma once

#include "core/Outcome.h"
#include "core/TransferJob.h"
#include "core/modNengajo.h"

#include <QList>
#include <QObject>
#include <QString>

// Downloads new data files one after another and stores each in the data
// folder: the work of the download dialog's ダウンロード, which the dialog
// starts and shows. A body that is no data file is not stored and the next
// file is fetched; a transfer or a write that fails ends the job, and the
// files stored before it stay. Its steps read "ダウンロードしています（2/3）"
// with the entry's title.
class DownloadJob final : public TransferJob
{
    Q_OBJECT

public:
    enum class Ending { Completed, Failed, Cancelled };

    explicit DownloadJob(QObject *parent = nullptr);
    ~DownloadJob() override;

    // Starts on these entries, in their order, into the data folder new files go to.
    void start(const QList<NewDataEntry> &entries);

    // Once finished. Failed: why a file could not be written, when the writer
    // says; no words for a transfer that failed.
    const Outcome<Ending> &outcome() const { return m_outcome; }
    // One "・" + title + CR LF per stored file, in the entries' order.
    const QString &report() const { return m_report; }
    // The same for each file that was no data file and was not stored.
    const QString &refused() const { return m_refused; }

private:
    void stop() override;
    void transferNext();
    // The entry's file has come: stored, and the next one fetched.
    void transferDone(const platform::HttpResult &result) override;
    void finish(Ending ending, const QString &words = {});

    QList<NewDataEntry> m_entries;
    QString m_dataFolder;
    qsizetype m_next = 0; // the entry being fetched
    Outcome<Ending> m_outcome;
    QString m_report;
    QString m_refused;
};
