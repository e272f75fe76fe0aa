#include "platform/realservices.h"

#include "platform/clock.h"
#include "platform/http.h"
#include "platform/messagebox.h"
#include "platform/module.h"
#include "platform/openfiledialog.h"
#include "platform/printdialog.h"
#include "platform/programfolder.h"
#include "platform/savefiledialog.h"
#include "platform/settingsfile.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "platform/tickcount.h"
#include "platform/waitcursor.h"
#include "platform/windowflash.h"
#include "platform/xmldocument.h"

namespace platform {

struct RealServices::Impl
{
    QtMessageBox messageBox;
    RealProgramFolder programFolder;
    RealTickCount tickCount;
    IniSettingsFile settingsFile;
    DesktopShell shell;
    SystemSound systemSound;
    Deferred<Sound> sound {soundModulePath(), systemSound};
    TitleFlash windowFlash;
    QtMousePointer mousePointer;
    RefusedTransfer refusedTransfer;
    Deferred<HttpTransfer> http {modulePath(QStringLiteral("harovan_network")), refusedTransfer};
    xml::LibXmlComponent xmlComponent;
    RealClock clock;
    QtSaveFileDialog saveFileDialog;
    QtPrintDialog printDialog;
    QtOpenFileDialog openFileDialog;

    ScopedService<MessageBox> s1 {messageBox};
    ScopedService<ProgramFolder> s2 {programFolder};
    ScopedService<TickCount> s3 {tickCount};
    ScopedService<SettingsFile> s4 {settingsFile};
    ScopedService<Shell> s5 {shell};
    ScopedService<Sound> s6 {sound};
    ScopedService<WindowFlash> s7 {windowFlash};
    ScopedService<MousePointer> s8 {mousePointer};
    ScopedService<HttpTransfer> s9 {http};
    ScopedService<xml::XmlComponent> s10 {xmlComponent};
    ScopedService<Clock> s11 {clock};
    ScopedService<SaveFileDialog> s12 {saveFileDialog};
    ScopedService<PrintDialog> s13 {printDialog};
    ScopedService<OpenFileDialog> s14 {openFileDialog};
};

RealServices::RealServices()
    : d(std::make_unique<Impl>())
{ }

RealServices::~RealServices() = default;

void RealServices::loadDeferred()
{
    d->sound.load();
}

} // namespace platform
