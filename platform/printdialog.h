#pragma once

#include "platform/service.h"

class QPrinter;

namespace platform {

// The system's print dialog, over the active window: the user chooses a
// printer or a PDF file, the paper and the pages.
class PrintDialog
{
public:
    virtual ~PrintDialog() = default;
    // Sets printer up as the user chose; false when the user cancelled.
    virtual bool setUp(QPrinter &printer) = 0;
};

// QPrintDialog.
class QtPrintDialog final : public PrintDialog
{
public:
    bool setUp(QPrinter &printer) override;
};

} // namespace platform
