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

protected:
private:
    // The fonts and the sizes from their metrics, at the text size in force.
    void applySizes();

    QLabel *picIcon = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *lblURL = nullptr;
    QPushButton *cmdOK = nullptr;
};
