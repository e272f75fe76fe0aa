#pragma once

#include "core/DataEdit.h"

#include <QDialog>

// The check before a typed-in draw is written: every winning number large,
// class by class, to be compared with the published list. Modal, created on
// the stack; exec() accepts when the user agrees with what they typed.
class frmDataConfirm : public QDialog
{
    Q_OBJECT

public:
    explicit frmDataConfirm(const DataEditInput &input, QWidget *parent = nullptr);
};
