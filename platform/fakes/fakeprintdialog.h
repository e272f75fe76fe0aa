#pragma once

#include "platform/printdialog.h"

#include <functional>

namespace platform {

// Cancels unless the test sets the printer up, for example to write a PDF file.
class FakePrintDialog final : public PrintDialog
{
public:
    bool setUp(QPrinter &printer) override
    {
        ++shown;
        return onSetUp ? onSetUp(printer) : false;
    }

    std::function<bool(QPrinter &)> onSetUp;
    int shown = 0;
};

} // namespace platform
