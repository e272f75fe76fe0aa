#pragma once

#include <QDialog>

// The new-data download dialog: offers the entries of NewDataList and stores
// the selected ones in the data folder. Modal, created afresh each time.
class frmDownFileList : public QDialog
{
    Q_OBJECT

public:
    explicit frmDownFileList(QWidget *parent = nullptr);
};
