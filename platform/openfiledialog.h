#pragma once

#include "platform/service.h"

#include <QString>

namespace platform {

// Asks the user for a file to open, over the active window.
class OpenFileDialog
{
public:
    virtual ~OpenFileDialog() = default;
    // The chosen path of an existing file, or empty text when the user
    // cancelled. filter names the kind of file, as "当選番号データ (*.xml)".
    virtual QString choose(const QString &title, const QString &folder, const QString &filter) = 0;
};

// QFileDialog.
class QtOpenFileDialog final : public OpenFileDialog
{
public:
    QString choose(const QString &title, const QString &folder, const QString &filter) override;
};

} // namespace platform
