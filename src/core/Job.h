#pragma once

#include <QObject>
#include <QString>

// Long work the program does while its windows go on: the list fetch, a
// download, a CSV file, a print, a calendar file. A job is set up through its
// own setters or start() arguments, start()ed, tells its steps and progress,
// can be cancelled, and says finished() once, whichever way it ends; what
// came of it is read from the job then. The window that starts a job owns it
// (and cancels it when it goes); one progress window (frmProgress) shows any
// job. Deleting a job that runs ends its work at once and says nothing.
class Job : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    bool isRunning() const { return m_running; }
    // Whether the last run ended by cancel().
    bool wasCancelled() const { return m_cancelled; }
    // Ends the running work at once; finished() comes before this returns.
    void cancel();

signals:
    // What is being done now, and the name of the file it is about (empty for none).
    void stepStarted(const QString &text, const QString &title);
    // done of total; total is -1 while it is unknown.
    void progressed(qint64 done, qint64 total);
    // Once the run has ended, whichever way.
    void finished();

protected:
    // A run begins.
    void begin();
    // The run has ended: finished() is said.
    void end();
    // Stops the work that runs; cancel() then ends the run.
    virtual void stop() = 0;

private:
    bool m_running = false;
    bool m_cancelled = false;
};
