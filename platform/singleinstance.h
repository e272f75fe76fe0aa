#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace platform {

// One program at a time on one book: the first start listens on a local
// socket (a named pipe on Windows) named after the folder of the program's
// settings and book; a later start hands its request to that program, which
// comes forward, and ends. A program that does not answer within a second is
// taken for none, and the new start takes the name.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class Request { Show, ShowList };

    // The name for the folder that holds settings.ini and the book: in the
    // user's runtime folder ($XDG_RUNTIME_DIR), which only the user may enter.
    static QString nameFor(const QString &settingsFolder);

    explicit SingleInstance(const QString &name, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this start is the program to run, now listening for later
    // starts (or running alone when the name cannot be taken); false when the
    // running program has taken request, and this start ends.
    bool claim(Request request);

    // Asks the program listening under name to come forward with request;
    // true when it answered, within a second.
    static bool handOver(const QString &name, Request request);

signals:
    // A later start asked for this, with the activation token the desktop
    // gave it (XDG_ACTIVATION_TOKEN, or empty), which lets the window come
    // forward over others.
    void requested(platform::SingleInstance::Request request, const QString &activationToken);

private:
    void answer();

    QString m_name;
    QLocalServer *m_server;
};

} // namespace platform
