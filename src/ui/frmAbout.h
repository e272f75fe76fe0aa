#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The version information window: the program's name and version, and a link
// to the maker's web page. Modal, created afresh each time it opens.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

private:
    QLabel *m_picIcon = nullptr;
    QLabel *m_lblTitle = nullptr;
    QLabel *m_lblDescription = nullptr;
    QLabel *m_Label1 = nullptr;
    QLabel *m_lblURL = nullptr;
    QPushButton *m_cmdOK = nullptr;
};
