#pragma once

#include "platform/openfiledialog.h"

#include <QStringList>

namespace platform {

// Answers with the path the test gives (empty: the user cancelled) and
// records what it was asked.
class FakeOpenFileDialog final : public OpenFileDialog
{
public:
    QString choose(const QString &title, const QString &folder, const QString &filter) override
    {
        asked.append({title, folder, filter});
        return answer;
    }

    QString answer;
    QList<QStringList> asked;
};

} // namespace platform
