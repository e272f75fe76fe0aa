#pragma once

#include "core/AtariBook.h"
#include "core/CheckRecord.h"
#include "core/DataInForce.h"

// What outlives every window: made once by main() (by the fixture in a test)
// and given to the main window, which shows it and hands it on.
struct ProgramState
{
    explicit ProgramState(const QString &bookPath)
        : book(bookPath)
    { }

    DataInForce data;
    // The sitting: every card judged since the last clear or load.
    CheckRecord record;
    // The household's book of won cards, kept from sitting to sitting.
    AtariBook book;
};
