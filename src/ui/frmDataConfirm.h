#pragma once

#include "core/DataEdit.h"

#include <QDialog>

// The check before a typed-in draw is written: every winning number large,
// class by class, with its goods, to be compared with the published list.
// A class whose digits differ from the file the input started from stands in
// red, goods unchanged from that file are marked, and OK then asks once more.
// Modal, created on the stack; exec() accepts when the user agrees with what
// they typed.
class frmDataConfirm : public QDialog
{
    Q_OBJECT

public:
    frmDataConfirm(const DataEditInput &input, const DataEditStart &start, QWidget *parent = nullptr);

private:
    void cmdOK_Click();
    QString m_digitsQuestion; // the second question; empty when no class's digits changed
};
