#pragma once

#include "platform/http.h"

#include <QDialog>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress window of the list fetch and the downloads: what is being
// fetched, the bytes received, and "キャンセル", which stops the transfer at
// once. It appears only once the work has taken about half a second, so a
// quick transfer looks as if there were none; from its creation until it goes,
// no other window of the program takes input, though all of them repaint.
// Closing it in any way (its close box, Esc, the program closing) cancels too.
// Created on the stack around the work by the window that starts it.
class frmProgress : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ShowDelayMs = 500;

    explicit frmProgress(QWidget *parent);
    ~frmProgress() override;

    // What is happening now, and the title of the file being fetched (none for
    // the list). The bar is busy until the size of what comes is known.
    void setStep(const QString &text, const QString &title = {});

    // Handed to the transfers this window watches.
    platform::TransferControl *control() { return &m_control; }
    bool wasCancelled() const { return m_control.isCancelled(); }

protected:
    // A new application font: the text size has changed.
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    // The fonts and the sizes from their metrics, at the text size in force.
    void applySizes();
    void showProgress(qint64 received, qint64 total);
    void setOrdinaryPointer(bool ordinary);
    bool isInputForAnotherWindow(QObject *watched, const QEvent *event) const;

    QLabel *lblProgress = nullptr;
    QLabel *lblProgressTitle = nullptr;
    QProgressBar *barProgress = nullptr;
    QPushButton *cmdProgressCancel = nullptr;

    platform::TransferControl m_control;
    QTimer m_showTimer;
    bool m_ordinaryPointer = false;
};
