#include "frmMain.h"

void frmMain::mnuDownload_Click()
{
}
