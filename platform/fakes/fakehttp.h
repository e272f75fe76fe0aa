#pragma once

#include "platform/http.h"

#include <QHash>
#include <QStringList>

namespace platform {

// Answers from a table of addresses; anything else fails. For GUI tests only:
// the transfer itself is tested against a real local server.
class FakeHttpTransfer final : public HttpTransfer
{
public:
    QHash<QString, QByteArray> bodies;
    QStringList requested;

    std::unique_ptr<RunningTransfer> start(const QString &url, TransferWatch *watch) override
    {
        requested.append(url);
        if (auto it = bodies.constFind(url); it != bodies.constEnd())
            return endedTransfer(watch, {true, *it, {}});
        return endedTransfer(watch, {false, {}, QStringLiteral("not found")});
    }
};

} // namespace platform
