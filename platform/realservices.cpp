#include "realservices.h"

#include "http.h"
#include "messagebox.h"
#include "programfolder.h"
#include "settingsfile.h"
#include "shell.h"
#include "sound.h"
#include "tickcount.h"
#include "waitcursor.h"
#include "windowflash.h"
#include "xmldocument.h"

namespace platform {

struct RealServices::Impl
{
    QtMessageBox messageBox;
    RealProgramFolder programFolder;
    RealTickCount tickCount;
    IniSettingsFile settingsFile;
    DesktopShell shell;
    QtSound sound;
    TitleFlash windowFlash;
    QtMousePointer mousePointer;
    CurlHttpTransfer http;
    xml::LibXmlComponent xmlComponent;

    ScopedService<MessageBox> s1{messageBox};
    ScopedService<ProgramFolder> s2{programFolder};
    ScopedService<TickCount> s3{tickCount};
    ScopedService<SettingsFile> s4{settingsFile};
    ScopedService<Shell> s5{shell};
    ScopedService<Sound> s6{sound};
    ScopedService<WindowFlash> s7{windowFlash};
    ScopedService<MousePointer> s8{mousePointer};
    ScopedService<HttpTransfer> s9{http};
    ScopedService<xml::XmlComponent> s10{xmlComponent};
};

RealServices::RealServices()
    : d(std::make_unique<Impl>())
{
}

RealServices::~RealServices() = default;

} // namespace platform
