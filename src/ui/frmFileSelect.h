#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

// The card-type selection dialog: lists the valid data files of the data
// folder and puts the chosen one in force. Modal, created afresh each time.
class frmFileSelect : public QDialog
{
    Q_OBJECT

public:
    explicit frmFileSelect(QWidget *parent = nullptr);

signals:
    // The chosen file has been loaded and is the data file in force; emitted
    // before the dialog closes, so its owner shows the new data first.
    void dataFileLoaded();

protected:
    // A new application font: the text size has changed.
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The fonts and the sizes from their metrics, at the text size in force.
    void applySizes();
    void fillList();
    void cmdOK_Click();

    QListWidget *lstXmlFile = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
};
