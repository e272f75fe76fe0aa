#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

namespace platform {

class LocalChannel;
template <typename Interface> class Module;

// One program at a time on one book. The first start holds a lock file named
// after the folder of the program's settings and book (in a folder only the
// user may enter: $XDG_RUNTIME_DIR, else a folder of the user's own in the
// temporary folder; on Windows in the user's temporary folder, whichever
// folder it was started from) and, once its window is up, listens on a local
// socket of the same name (a named pipe on Windows) through the module
// modules/harovan_localchannel.so. A later start finds the lock held, hands
// its request to the running program, which comes forward, and ends. A lock
// that is no lock of a running program (left by one that ended, unreadable,
// from another machine, a folder or a link in its place) is replaced.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class Request { Show, ShowList };
    // What a start does after claim().
    enum class Start {
        Run, // the program to run: it holds the lock, or no lock can be had here
        HandedOver, // the running program has taken the request: this start ends
        Unanswered, // the program running on this book did not answer: this start tells so and ends
    };

    // The name for the folder that holds settings.ini and the book; empty when
    // no folder of the user's own can be had for it: the program then runs
    // without the hand-over, and says nothing of it.
    static QString nameFor(const QString &settingsFolder);

    // modulePath: modules/harovan_localchannel.so.
    SingleInstance(const QString &name, const QString &modulePath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock, or hands request to the program that holds it, asking
    // for a few seconds while that program is still coming up.
    Start claim(Request request);
    // Answers later starts from now on; the socket's library is loaded here,
    // so call it once the window is up. Only after claim() took the name.
    void listen();

signals:
    // A later start asked for this, with the activation token the desktop
    // gave it (XDG_ACTIVATION_TOKEN, or empty), which lets the window come
    // forward over others.
    void requested(platform::SingleInstance::Request request, const QString &activationToken);

private:
    // The lock taken, whatever stood in its place when it was no lock of a running program.
    bool takeLock();
    QByteArray answer(const QByteArray &line);

    // Each system's own (singleinstance_unix.cpp, singleinstance_win.cpp): the
    // name in the folder the user's own starts share, or empty.
    static QString placed(const QString &name);

    QString m_name;
    QLockFile m_lock;
    std::unique_ptr<Module<LocalChannel>> m_channel;
};

} // namespace platform
