#pragma once

#include <QDialog>

// The version information window. Modal, created afresh each time.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);
};
