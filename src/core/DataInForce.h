#pragma once

#include "core/modNengajo.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {
struct HttpResult;
} // namespace platform

// What came of a load: 0 when the data were loaded, -1 when not, with the
// message that tells the user why (empty when nothing is to be told).
struct DataLoad
{
    qint16 status = 0;
    QString message;

    bool loaded() const { return status == 0; }
    // For the window that asked: the message, when there is one, in an error
    // box; then loaded().
    bool tell() const;
};

// The data in force: the one WinningData the cards are judged against, the
// name of the file they came from (strFileName), and the NewDataList of the
// last list fetch. Made once by main() (a test's fixture in a test), it
// outlives every window; windows read it and keep no copy. Only its loaders
// write it, and it says when another file is in force (changed) or the list
// is fetched anew (newDataListChanged). It shows no box: what went wrong comes
// back to the window that asked.
class DataInForce : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    const WinningData &winningData() const { return m_data; }
    const QList<NewDataEntry> &NewDataList() const { return m_newDataList; }

    // Loads data/<dataFileName>, validated against data/<schemaFileName> when
    // that file exists, and puts it in force with strFileName naming it. A
    // failure leaves everything as it was, strFileName included.
    DataLoad LoadDataFile(const QString &dataFileName, const QString &schemaFileName = modNengajo::SchemaFileName);
    // At start, before any window shows data: the remembered file (the
    // default name when none is remembered) when it is a file of the data
    // folder; no message when there is none. Without data strFileName is empty.
    // Says nothing through changed: the windows are built on what it left.
    DataLoad loadAtStart(const QString &remembered);
    // The program's start: nothing, after the box that says so, when the XML
    // component is missing and the program must end. Else it tells when the
    // last run could not keep its file's name, and whether the remembered file
    // is in force (loadAtStart, with the box that tells why not).
    std::optional<bool> startUp();
    // Puts data read elsewhere in force.
    void setWinningData(WinningData data);

    // Reads the list document a fetch brought (NewDataListJob fetches it) into
    // NewDataList: the published files not yet in the data folder, and in
    // duplicates the titles refused for a title met before. 0: new entries,
    // 1: nothing new, -1: the fetch failed or was cancelled, or the document
    // is no list.
    qint16 GetNewDataList(const platform::HttpResult &fetched, QStringList *duplicates = nullptr);

signals:
    // Another data file, or other data, is in force.
    void changed();
    void newDataListChanged();

private:
    DataLoad load(const QString &dataFileName, const QString &schemaFileName);

    WinningData m_data;
    QList<NewDataEntry> m_newDataList;
};
