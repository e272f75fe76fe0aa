#include "ui/frmDataEdit.h"
#include "ui/frmMain.h"

#include "core/modNengajo.h"
#include "platform/messagebox.h"

void frmMain::mnuMakeData_Click()
{
    using platform::MessageBox;
    QString fileName;
    {
        // Gone before the question, which is asked over this window.
        frmDataEdit dialog(m_state.data.winningData(), this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        fileName = dialog.savedFileName();
    }
    activateWindow();
    if (platform::showMessage(modNengajo::MessageTitle, QStringLiteral("この当選番号データに切り替えますか？"),
            MessageBox::Icon::Question, MessageBox::Buttons::YesNo)
        != MessageBox::Answer::Yes)
        return;
    // As a choice in the card-type dialog.
    useDataFile(fileName);
}
