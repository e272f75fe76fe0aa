#include "frmSyouhin.h"

frmSyouhin::frmSyouhin(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmSyouhin"));
    setWindowTitle(QStringLiteral("当選番号と賞品"));
}

void frmSyouhin::Form_Activate()
{
}
