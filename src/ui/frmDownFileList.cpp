#include "frmDownFileList.h"

frmDownFileList::frmDownFileList(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDownFileList"));
    setWindowTitle(QStringLiteral("新着当選番号データ一覧"));
}
