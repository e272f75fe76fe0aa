#pragma once

#include "platform/savefiledialog.h"

#include <QStringList>

namespace platform {

// Answers with the path the test gives (empty: the user cancelled) and
// records what it was asked.
class FakeSaveFileDialog final : public SaveFileDialog
{
public:
    QString choose(
        const QString &title, const QString &suggestedPath, const QString &filter, const QString &suffix) override
    {
        asked.append({title, suggestedPath, filter, suffix});
        return answer;
    }

    QString answer;
    QList<QStringList> asked;
};

} // namespace platform
