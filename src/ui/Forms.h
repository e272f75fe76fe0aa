#pragma once

class frmMain;

// The program's one main window, reachable from the other windows and the
// module routines that act on it.
namespace Forms {
frmMain *Main();
void setMain(frmMain *window);
} // namespace Forms

// Shows the card type and year in force and exactly the rows of the loaded
// classes on the main window.
void ShowTypeCaption();
