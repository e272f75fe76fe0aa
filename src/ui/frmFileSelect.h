#pragma once

#include <QDialog>

class DataInForce;
class QListWidget;
class QMimeData;
class QPushButton;

// The card-type selection dialog: lists the valid data files of the data
// folder and puts the chosen one in force, which says so to every window
// before the dialog closes. Modal, created afresh each time. A data file from
// elsewhere comes in through ファイルから追加 or by dropping it on the dialog.
class frmFileSelect : public QDialog
{
    Q_OBJECT

public:
    // data outlive the dialog.
    explicit frmFileSelect(DataInForce &data, QWidget *parent = nullptr);

    // Adds the data file at path to the data folder (modNengajo::AddDataFile),
    // asking before another file of its name is replaced and telling in a box
    // why a file is refused; then lists it, selected, so OK puts it in force.
    // True when it is listed.
    bool addFile(const QString &path);
    // The local .xml file a drag carries, when it carries exactly one; else empty.
    static QString droppedDataFile(const QMimeData *mime);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void fillList();
    void cmdOK_Click();
    void cmdAddFile_Click();

    DataInForce &m_data;
    QListWidget *lstXmlFile = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdAddFile = nullptr;
};
