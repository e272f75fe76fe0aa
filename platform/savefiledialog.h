#pragma once

#include "platform/service.h"

#include <QString>

namespace platform {

// Asks the user where to save a file, over the active window.
class SaveFileDialog
{
public:
    virtual ~SaveFileDialog() = default;
    // The chosen path, or empty text when the user cancelled. filter names the
    // kind of file, as "CSVファイル (*.csv)"; a name typed without a suffix
    // gets suffix; replacing a file is confirmed here.
    virtual QString choose(
        const QString &title, const QString &suggestedPath, const QString &filter, const QString &suffix)
        = 0;
};

// QFileDialog.
class QtSaveFileDialog final : public SaveFileDialog
{
public:
    QString choose(
        const QString &title, const QString &suggestedPath, const QString &filter, const QString &suffix) override;
};

} // namespace platform
