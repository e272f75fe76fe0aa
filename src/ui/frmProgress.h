#pragma once

#include "core/Job.h"
#include "platform/waitcursor.h"

#include <QDialog>
#include <QPointer>

#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// The one progress window of the program's jobs (the list fetch, downloads,
// CSV, print, calendar file): what is being done, the file it is about, a bar
// and "キャンセル". It appears once the job has taken half a second, so quick
// work looks as if there were none, and then keeps the other windows from the
// user's input until the job ends. キャンセル, Esc and the close box cancel the
// job. The hourglass stays from follow() until the job has finished.
class frmProgress : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ShowDelayMs = 500;

    // Shows job's progress, over parent, which owns the window, until the job
    // has finished; then it hides and the hourglass goes.
    frmProgress(Job *job, QWidget *parent);
    ~frmProgress() override;

    // The same in a window that deletes itself once the job has finished.
    // Call it before connecting to the job's finished, so that the window and
    // the hourglass have gone when that is heard.
    static frmProgress *follow(Job *job, QWidget *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Esc and the close box, as キャンセル, cancel the job.
    void reject() override;

private:
    // The bar is busy until the size of what comes is known.
    void setStep(const QString &text, const QString &title);
    void showProgress(qint64 done, qint64 total);
    void jobFinished();
    void setOrdinaryPointer(bool ordinary);

    QLabel *lblProgress = nullptr;
    QProgressBar *barProgress = nullptr;
    QPushButton *cmdProgressCancel = nullptr;
    QTimer *tmrProgressShow = nullptr;

    QPointer<Job> m_job;
    std::optional<platform::WaitCursor> m_waitCursor;
    bool m_ordinaryPointer = false;
};
