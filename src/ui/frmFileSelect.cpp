#include "frmFileSelect.h"

frmFileSelect::frmFileSelect(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFileSelect"));
    setWindowTitle(QStringLiteral("はがきの種類を選択"));
}
