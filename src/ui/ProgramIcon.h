#pragma once

#include <QIcon>

// The program's icon: a New-Year postcard with a red seal, drawn from the SVG
// compiled into the program, at the sizes window systems ask for.
QIcon programIcon();

// Gives every window of the program its icon and ties the running program to
// its desktop entry (harovan.desktop), so a desktop shows the same icon.
void applyProgramIcon();
