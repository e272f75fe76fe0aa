#pragma once

#include <QDialog>

// The version information window: the program's name and version, and a link
// to the maker's web page. Modal, created afresh each time it opens.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);
};
