#pragma once

#include "platform/http.h"
#include "ui/WorkProgress.h"

#include <QProgressDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress window of the list fetch and the downloads: Qt's progress
// dialog with what is being fetched, the bytes received, and "キャンセル". It
// appears once the work has taken about half a second, so a quick transfer
// looks as if there were none, and then keeps the other windows from the
// user's input until it goes. Closing it in any way (its button, Esc, its
// close box, the program closing) cancels.
class frmProgress : public QProgressDialog
{
    Q_OBJECT

public:
    static constexpr int ShowDelayMs = WorkProgress::ShowDelayMs;

    explicit frmProgress(QWidget *parent);
    ~frmProgress() override;

    // What is happening now, and the title of the file being fetched (none for
    // the list). The bar is busy until the size of what comes is known.
    void setStep(const QString &text, const QString &title = {});
    // total is -1 while the size is unknown.
    void showProgress(qint64 received, qint64 total);

    // For a transfer that is waited for: cancelled with this window.
    platform::TransferControl *control() { return &m_control; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void reject() override;

private:
    void setOrdinaryPointer(bool ordinary);

    QLabel *lblProgress = nullptr;
    QProgressBar *barProgress = nullptr;
    QPushButton *cmdProgressCancel = nullptr;

    platform::TransferControl m_control;
    bool m_ordinaryPointer = false;
};
