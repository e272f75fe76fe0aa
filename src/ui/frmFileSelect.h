#pragma once

#include <QDialog>

class DataInForce;
class QListWidget;
class QPushButton;

// The card-type selection dialog: lists the valid data files of the data
// folder and puts the chosen one in force, which says so to every window
// before the dialog closes. Modal, created afresh each time.
class frmFileSelect : public QDialog
{
    Q_OBJECT

public:
    // data outlive the dialog.
    explicit frmFileSelect(DataInForce &data, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void cmdOK_Click();

    DataInForce &m_data;
    QListWidget *lstXmlFile = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
};
