#pragma once

// Every outside service replaced by its fake for the lifetime of the object,
// so that a test sees exactly which box, sound, flash and shell request the
// program made, and never touches the user's files or the network.

#include "platform/fakes/fakeclock.h"
#include "platform/fakes/fakehttp.h"
#include "platform/fakes/fakemessagebox.h"
#include "platform/fakes/fakemousepointer.h"
#include "platform/fakes/fakeopenfiledialog.h"
#include "platform/fakes/fakeprintdialog.h"
#include "platform/fakes/fakesavefiledialog.h"
#include "platform/fakes/fakesettingsfile.h"
#include "platform/fakes/fakeshell.h"
#include "platform/fakes/fakesound.h"
#include "platform/fakes/faketickcount.h"
#include "platform/fakes/fakewindowflash.h"
#include "platform/fakes/fakexmlcomponent.h"
#include "platform/settingsfile.h"

namespace testsupport {

struct FakeServices
{
    platform::FakeMessageBox messageBox;
    platform::FakeShell shell;
    platform::FakeSound sound;
    platform::FakeTickCount tickCount {0, 50};
    platform::FakeWindowFlash windowFlash;
    platform::FakeMousePointer mousePointer;
    platform::FakeHttpTransfer http;
    platform::xml::FakeXmlComponent xmlComponent {true};
    // The real INI file on the test's own program folder: tests read it back from disk.
    platform::IniSettingsFile settingsFile;
    // A fixed day, so texts counted from today never change with the calendar.
    platform::FakeClock clock {QDate(2026, 1, 25)};
    platform::FakeSaveFileDialog saveFileDialog;
    platform::FakePrintDialog printDialog;
    platform::FakeOpenFileDialog openFileDialog;

    platform::ScopedService<platform::MessageBox> s1 {messageBox};
    platform::ScopedService<platform::Shell> s2 {shell};
    platform::ScopedService<platform::Sound> s3 {sound};
    platform::ScopedService<platform::TickCount> s4 {tickCount};
    platform::ScopedService<platform::WindowFlash> s5 {windowFlash};
    platform::ScopedService<platform::MousePointer> s6 {mousePointer};
    platform::ScopedService<platform::HttpTransfer> s7 {http};
    platform::ScopedService<platform::xml::XmlComponent> s8 {xmlComponent};
    platform::ScopedService<platform::SettingsFile> s9 {settingsFile};
    platform::ScopedService<platform::Clock> s10 {clock};
    platform::ScopedService<platform::SaveFileDialog> s11 {saveFileDialog};
    platform::ScopedService<platform::PrintDialog> s12 {printDialog};
    platform::ScopedService<platform::OpenFileDialog> s13 {openFileDialog};
};

} // namespace testsupport
