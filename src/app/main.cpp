#include "platform/realservices.h"
#include "ui/Forms.h"
#include "ui/frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    platform::RealServices services;

    frmMain window;
    Forms::setMain(&window);
    if (!window.Form_Load())
        return 1;
    window.show();
    const int status = app.exec();
    Forms::setMain(nullptr);
    return status;
}
