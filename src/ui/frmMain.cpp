#include "frmMain.h"

#include "Forms.h"
#include "frmSyouhin.h"

namespace {
frmMain *s_main = nullptr;
}

frmMain *Forms::Main()
{
    return s_main;
}

void Forms::setMain(frmMain *window)
{
    s_main = window;
}

void ShowTypeCaption()
{
}

frmMain::frmMain(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Harovan"));
}

frmMain::~frmMain() = default;

bool frmMain::Form_Load()
{
    return true;
}

void frmMain::AllClear()
{
}

frmSyouhin *frmMain::Syouhin(bool create)
{
    if (!m_syouhin && create)
        m_syouhin = new frmSyouhin(this);
    return m_syouhin;
}
