#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

namespace platform {

class LocalChannel;
template <typename Interface> class Module;

// One program at a time on one book. The first start holds a lock file named
// after the folder of the program's settings and book (in the user's runtime
// folder, $XDG_RUNTIME_DIR, which only the user may enter; on Windows in the
// user's temporary folder, whichever folder it was started from) and, once its
// window is up, listens on a local socket of the same name (a named pipe on
// Windows) through the module modules/harovan_localchannel.so. A later start
// finds the lock held, hands its request to the running program, which comes
// forward, and ends. A program that does not answer within a second is taken
// for none, and the new start runs on its own.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class Request { Show, ShowList };

    // The name for the folder that holds settings.ini and the book.
    static QString nameFor(const QString &settingsFolder);

    // modulePath: modules/harovan_localchannel.so.
    SingleInstance(const QString &name, const QString &modulePath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this start is the program to run: it holds the name, or runs
    // on its own beside a program that does not answer. False when the
    // running program has taken request, and this start ends.
    bool claim(Request request);
    // Answers later starts from now on; the socket's library is loaded here,
    // so call it once the window is up. Only after claim() took the name.
    void listen();

signals:
    // A later start asked for this, with the activation token the desktop
    // gave it (XDG_ACTIVATION_TOKEN, or empty), which lets the window come
    // forward over others.
    void requested(platform::SingleInstance::Request request, const QString &activationToken);

private:
    QByteArray answer(const QByteArray &line);

    QString m_name;
    QLockFile m_lock;
    std::unique_ptr<Module<LocalChannel>> m_channel;
};

} // namespace platform
