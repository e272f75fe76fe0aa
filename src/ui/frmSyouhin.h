#pragma once

#include <QWidget>

// The winning numbers and prizes window: every class with its numbers, digit
// note and goods, the related address and the data file. Modeless.
class frmSyouhin : public QWidget
{
    Q_OBJECT

public:
    explicit frmSyouhin(QWidget *parent = nullptr);

    // Rebuilds everything from the data in force. Runs whenever the window
    // becomes active; never shows the window.
    void Form_Activate();
};
