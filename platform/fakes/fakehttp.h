#pragma once

#include "platform/http.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <deque>

namespace platform {

// Answers from a table of addresses at once, inside start(), as a transfer
// refused at once ends; an address in held (every address while holdEvery)
// runs until the test ends it; anything else fails at once. For the jobs and
// the windows only: the transfer itself is tested against a real local server.
class FakeHttpTransfer final : public HttpTransfer
{
public:
    QHash<QString, QByteArray> bodies;
    QSet<QString> held;
    bool holdEvery = false;
    // Every address asked for, in order.
    QStringList requested;

    // A held transfer, until the test ends it; gone once whoever started it
    // has dropped it.
    struct Held
    {
        QString url;
        TransferWatch *watch = nullptr;
        bool gone = false;
    };
    // In the order started; the elements stay where they are.
    std::deque<Held> running;

    std::unique_ptr<RunningTransfer> start(const QString &url, TransferWatch *watch) override
    {
        requested.append(url);
        if (holdEvery || held.contains(url)) {
            running.push_back({url, watch, false});
            return std::make_unique<Hold>(&running.back().gone);
        }
        if (auto it = bodies.constFind(url); it != bodies.constEnd())
            return endedTransfer(watch, {true, *it, {}, 200});
        return endedTransfer(watch, {false, {}, QStringLiteral("not found"), 404});
    }

    // The held transfer index has received so much of total (-1: unknown).
    void progress(std::size_t index, qint64 received, qint64 total)
    {
        running.at(index).watch->reportProgress(received, total);
    }
    // Ends the held transfer index with body, or as a failed one.
    void end(std::size_t index, const QByteArray &body, bool ok = true)
    {
        running.at(index).watch->transferEnded(
            {ok, ok ? body : QByteArray(), ok ? QString() : QStringLiteral("not found"), ok ? 200L : 404L});
    }

private:
    struct Hold final : RunningTransfer
    {
        explicit Hold(bool *gone)
            : m_gone(gone)
        { }
        ~Hold() override { *m_gone = true; }
        bool *m_gone;
    };
};

} // namespace platform
