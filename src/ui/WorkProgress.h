#pragma once

#include <QElapsedTimer>
#include <QProgressDialog>

class QPushButton;

// Sets box up as every progress box of the program: titled as its message
// boxes, keeping input from the other windows, in the window colour, up
// until the work says it has ended, shown once the work has taken
// WorkProgress::ShowDelayMs, with Qt's own キャンセル, named cancelName, which
// Enter does not press. Returns that button.
QPushButton *setUpProgressBox(QProgressDialog *box, const QString &cancelName);

// The progress of long work a window does on its own thread, such as a print
// or a save of a long list: a box that appears once the work has taken half a
// second (sooner when it will clearly take longer), with キャンセル. The work
// stops on キャンセル, Esc or the close box, and on the system's request to end
// the program (a logout), which then ends it as ever. While it is up, no other
// window of the program takes input; until then the work takes all of it.
// Created on the stack around the work by the window that starts it.
class WorkProgress final : public QProgressDialog
{
    Q_OBJECT

public:
    static constexpr int ShowDelayMs = 500;

    WorkProgress(const QString &objectName, QWidget *parent);

    // What is being done now, of how many steps; shown at once once the box is up.
    void setStep(const QString &text, qint64 total);
    // Where the work has come to; false once it is to stop. Once the box is
    // up, every window is painted afresh as the work goes on.
    bool advance(qint64 done);

protected:
    void reject() override;

private:
    QElapsedTimer m_started;
    QElapsedTimer m_sinceEvents;
};
