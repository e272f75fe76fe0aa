#pragma once

#include "core/Job.h"
#include "ui/AtariPrint.h"

#include <QFutureWatcher>

#include <memory>

class QPrinter;

// A print of the list of won cards (also to a PDF file), laid out and painted
// on a thread of its own so that the windows keep painting while a long list
// or goods of great length take a while. Its steps are the layout
// ("印刷の準備をしています…") and the pages ("印刷しています…"). A cancel, or the
// system asking the program to end, prints nothing (a PDF file is left as it
// was).
class PrintJob final : public Job
{
    Q_OBJECT

public:
    explicit PrintJob(QObject *parent = nullptr);
    ~PrintJob() override;

    // Prints content with printer, which the job keeps until the print has ended.
    void start(std::unique_ptr<QPrinter> printer, AtariPrintContent content);

    // Once finished: Failed with why it could not print (AtariPrint::print);
    // else it printed or was stopped.
    const Outcome<> &outcome() const { return m_outcome; }

private:
    void stop() override;
    void showProgress(int value);
    void workEnded();

    QFutureWatcher<Outcome<>> m_watcher;
    AtariPrint::Stage m_stage = AtariPrint::Stage::Layout;
    Outcome<> m_outcome;
};
