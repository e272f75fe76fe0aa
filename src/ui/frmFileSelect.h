#pragma once

#include <QDialog>

// The card-type selection dialog: lists the valid data files of the data
// folder and puts the chosen one in force. Modal, created afresh each time.
class frmFileSelect : public QDialog
{
    Q_OBJECT

public:
    explicit frmFileSelect(QWidget *parent = nullptr);
};
