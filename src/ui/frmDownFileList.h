#pragma once

#include "core/DownloadJob.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

// The new-data download dialog: offers the entries of the NewDataList it is
// given and stores the selected ones in the data folder through a DownloadJob,
// whose progress it shows. Modal, created afresh each time.
class frmDownFileList : public QDialog
{
    Q_OBJECT

public:
    // newDataList outlives the dialog.
    explicit frmDownFileList(const QList<NewDataEntry> &newDataList, QWidget *parent = nullptr);

    // One "・" + title + CR LF per stored file, in list order, once a download
    // has completed and closed the dialog; empty otherwise. The caller shows it
    // after the dialog has gone.
    const QString &downloadReport() const { return m_report; }
    // The same for each downloaded file that was no data file and was not
    // stored (a later fetch offers it again).
    const QString &refusedReport() const { return m_refused; }
    bool isDownloading() const { return m_job.isRunning(); }

protected:
    // Esc and キャンセル stop a download that runs, and otherwise close the
    // dialog.
    void reject() override;
    // The close box (and the program closing) stops a download that runs and
    // closes the dialog.
    void closeEvent(QCloseEvent *event) override;

private:
    void lstXmlFile_SelectionChanged();
    void cmdDownload_Click();
    void job_Finished();

    const QList<NewDataEntry> &m_newDataList;
    QLabel *lblMsg[2] = {};
    QListWidget *lstXmlFile = nullptr;
    QPushButton *cmdDownload = nullptr;
    QPushButton *cmdCancel = nullptr;
    QString m_report;
    QString m_refused;
    DownloadJob m_job;
};

// The completion box's text for a download report.
QString downloadCompletedText(const QString &report);
// The box's text for the files that were no data files.
QString downloadRefusedText(const QString &refused);
