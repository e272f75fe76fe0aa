#pragma once

#include "core/AtariBook.h"
#include "core/AtariList.h"
#include "core/Job.h"
#include "core/Outcome.h"

#include <QDateTime>
#include <QFutureWatcher>
#include <QList>
#include <QString>

#include <functional>

template <typename T> class QPromise;

// A file of the list of won cards made and saved where the user chose, off
// the user-interface thread, so that the windows keep painting while goods of
// great length make a file of many megabytes: the CSV file or the calendar
// file. A cancel, or the system asking the program to end, saves nothing.
class SaveJob final : public Job
{
    Q_OBJECT

public:
    enum class Ending { Saved, Failed, Cancelled };

    explicit SaveJob(QObject *parent = nullptr);
    ~SaveJob() override;

    // The rows as a CSV file (AtariList::CsvBytes) at path.
    void startCsv(const QString &path, const QList<AtariList::Row> &rows);
    // The calendar file of draw's cards (AtariCalendar::IcsBytes) at path.
    void startCalendar(
        const QString &path, const AtariDraw &draw, const QList<AtariCard> &cards, const QDateTime &stamp);

    // Once finished; when Failed, why (AtariList::SaveFile).
    const Outcome<Ending> &outcome() const { return m_outcome; }

    // Told by the work on its thread; false once it is to stop.
    using GoOn = std::function<bool(qsizetype done, qsizetype total)>;

private:
    // make gives the file's bytes, empty when goOn said to stop.
    using Make = std::function<QByteArray(const GoOn &goOn)>;
    void run(const QString &path, const QString &making, const QString &saving, Make make);
    void stop() override;
    void workEnded();

    QFutureWatcher<Outcome<>> m_watcher;
    Outcome<Ending> m_outcome;
};
