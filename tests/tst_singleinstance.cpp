// One program at a time: a later start hands its request to the program
// running on the same book and ends.
#include "platform/localchannel.h"
#include "platform/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;
using Request = platform::SingleInstance::Request;
using Start = platform::SingleInstance::Start;

Q_DECLARE_METATYPE(platform::SingleInstance::Request)
Q_DECLARE_METATYPE(platform::SingleInstance::Start)

namespace {

const QString Module = QStringLiteral(PROGRAM_DIR "/modules/harovan_localchannel.so");

// What the program listening under name answers a later start's "show-list",
// asked from a thread of its own while this one runs the program's events.
QByteArray askFromAnotherThread(const QString &name)
{
    QByteArray answer;
    const std::unique_ptr<QThread> next(QThread::create([&name, &answer] {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(1000) && socket.write("show-list\n") > 0 && socket.waitForReadyRead(2000))
            answer = socket.readLine();
    }));
    next->start();
    if (!QTest::qWaitFor([&next] { return next->isFinished(); }, 10'000))
        next->wait();
    return answer;
}

// Makes what kind names at path: a folder of this user's alone ("private"),
// one open to all ("open"), one of another user ("another user's"), a link
// to a private folder ("link") or a plain file ("file"); nothing when empty.
bool plant(const QString &kind, const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    if (kind.isEmpty())
        return true;
    if (kind == u"file")
        return QFile(path).open(QIODevice::WriteOnly);
    if (kind == u"link")
        return plant(u"private"_s, path + u"-target"_s) && QFile::link(path + u"-target"_s, path);
    return QDir().mkpath(path) && ::chmod(native.constData(), kind == u"open" ? 0777 : 0700) == 0
        && (kind != u"another user's" || ::chown(native.constData(), 65534, 65534) == 0);
}

int openFiles()
{
    return int(QDir(u"/proc/self/fd"_s).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

} // namespace

class tst_SingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // The runtime folder of each case is its own.
        m_runtime = std::make_unique<QTemporaryDir>();
        QVERIFY(m_runtime->isValid());
        QVERIFY(QFile::setPermissions(m_runtime->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
        qunsetenv("XDG_ACTIVATION_TOKEN");
    }

    void start_data()
    {
        QTest::addColumn<QString>("running"); // what holds the name when the program starts again
        QTest::addColumn<Request>("request");
        QTest::addColumn<QByteArray>("token"); // XDG_ACTIVATION_TOKEN of the later start
        QTest::addColumn<Start>("start");
        const QByteArray none;
        QTest::newRow("nothing") << u"nothing"_s << Request::Show << none << Start::Run;
        QTest::newRow("the program: comes forward") << u"program"_s << Request::Show << none << Start::HandedOver;
        QTest::newRow("the program: its list, with the desktop's token")
            << u"program"_s << Request::ShowList << QByteArray("token-1") << Start::HandedOver;
        QTest::newRow("the program, its window not up yet")
            << u"program coming up"_s << Request::Show << none << Start::HandedOver;
        QTest::newRow("the program, started from another folder")
            << u"program elsewhere"_s << Request::Show << none << Start::HandedOver;
        QTest::newRow("the program on another book") << u"another book"_s << Request::Show << none << Start::Run;
        QTest::newRow("a program that has ended") << u"ended"_s << Request::Show << none << Start::Run;
        // Its lock is held: no second window on its book.
        QTest::newRow("a program that does not answer") << u"hung"_s << Request::Show << none << Start::Unanswered;
        // No lock of a program that runs: replaced, and the new start listens.
        QTest::newRow("an empty lock") << u"lock:"_s << Request::Show << none << Start::Run;
        QTest::newRow("a lock of random bytes")
            << u"lock:\x89\xff\x01 no lock\n\n"_s << Request::Show << none << Start::Run;
        QTest::newRow("a lock from another machine")
            << u"lock:1\nharovan\nanother-machine\n"_s << Request::Show << none << Start::Run;
        QTest::newRow("a folder at the lock") << u"folder"_s << Request::Show << none << Start::Run;
        QTest::newRow("a link at the lock") << u"link"_s << Request::Show << none << Start::Run;
    }
    void start()
    {
        QFETCH(QString, running);
        QFETCH(Request, request);
        QFETCH(QByteArray, token);
        QFETCH(Start, start);
        // A name without a folder, as on Windows, for starts from two current folders.
        const bool elsewhere = running == u"program elsewhere";
        const QString name = elsewhere ? u"harovan-0123456789abcdef"_s
                                       : platform::SingleInstance::nameFor(u"/home/a/.local/share/harovan"_s);
        const QString startedFrom = QDir::currentPath();
        const QByteArray temporary = qgetenv("TMPDIR");
        const auto back = qScopeGuard([&startedFrom, &temporary] {
            QDir::setCurrent(startedFrom);
            temporary.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", temporary);
        });
        // Where a name without a folder has its socket and lock.
        if (elsewhere)
            qputenv("TMPDIR", QFile::encodeName(m_runtime->path()));

        // The running program answers from a thread of its own while this one starts again.
        QThread programThread;
        programThread.start();
        const auto stop = qScopeGuard([&programThread] {
            programThread.quit();
            programThread.wait();
        });
        auto *program = new platform::SingleInstance(
            running == u"another book" ? platform::SingleInstance::nameFor(u"/opt/harovan"_s) : name, Module);
        connect(&programThread, &QThread::finished, program, &QObject::deleteLater);
        program->moveToThread(&programThread);
        QList<std::pair<Request, QString>> requests;
        connect(
            program, &platform::SingleInstance::requested, this, [&requests](Request request, const QString &token) {
                requests.append({request, token});
            });
        const auto runProgram = [program](bool listen) {
            bool claimed = false;
            QMetaObject::invokeMethod(
                program,
                [program, listen, &claimed] {
                    claimed = program->claim(Request::Show) == Start::Run;
                    if (listen)
                        program->listen();
                },
                Qt::BlockingQueuedConnection);
            return claimed;
        };
        QLockFile held(name + u".lock"_s);
        QLocalServer hung;
        if (running == u"program" || running == u"another book") {
            QVERIFY(runProgram(true));
        } else if (elsewhere) {
            QVERIFY(QDir(m_runtime->path()).mkdir(u"a"_s) && QDir(m_runtime->path()).mkdir(u"b"_s));
            QVERIFY(QDir::setCurrent(m_runtime->filePath(u"a"_s)));
            QVERIFY(runProgram(true));
            QVERIFY(QDir::setCurrent(m_runtime->filePath(u"b"_s)));
        } else if (running == u"program coming up") {
            QVERIFY(runProgram(false));
            QTimer::singleShot(200, program, [program] { program->listen(); });
        } else if (running == u"hung") {
            QVERIFY(held.tryLock(0));
            QVERIFY(hung.listen(name));
        } else if (running == u"ended") {
            // Its lock, and its socket that nobody listens on any more.
            const pid_t child = ::fork();
            if (child == 0) {
                QLockFile lock(name + u".lock"_s);
                ::_exit(lock.tryLock(0) ? 0 : 1);
            }
            int status = -1;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QCOMPARE(status, 0);
            QVERIFY(QFile::exists(name + u".lock"_s));
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address {};
            address.sun_family = AF_UNIX;
            qstrncpy(address.sun_path, QFile::encodeName(name).constData(), sizeof address.sun_path);
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
            ::close(fd);
        } else if (running.startsWith(u"lock:")) {
            QFile lock(name + u".lock"_s);
            QVERIFY(lock.open(QIODevice::WriteOnly));
            QVERIFY(lock.write(running.mid(5).toLatin1()) == running.size() - 5);
        } else if (running == u"folder") {
            QVERIFY(QDir().mkpath(name + u".lock/inside"_s));
        }
        // A link is taken away, never followed: its target stays as it was.
        const QString target = m_runtime->filePath(u"target"_s);
        if (running == u"link") {
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("kept") == 4);
            file.close();
            QVERIFY(QFile::link(target, name + u".lock"_s));
        }

        if (!token.isEmpty())
            qputenv("XDG_ACTIVATION_TOKEN", token);
        platform::SingleInstance later(name, Module);
        QCOMPARE(later.claim(request), start);
        if (start == Start::HandedOver) {
            QTRY_COMPARE(requests.size(), 1);
            QCOMPARE(requests.at(0), std::pair(request, QString::fromLatin1(token)));
            return;
        }
        QCOMPARE(requests.size(), 0);
        if (start == Start::Unanswered)
            return;

        // The start that runs answers the next one, once it listens.
        later.listen();
        QSignalSpy laterRequests(&later, &platform::SingleInstance::requested);
        QCOMPARE(askFromAnotherThread(name), QByteArray("ok\n"));
        QTRY_COMPARE(laterRequests.size(), 1);
        if (running == u"link") {
            QFile file(target);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("kept"));
        }
    }

    // Only a whole request line is taken: anything else gets no answer and changes nothing.
    void strangeRequest()
    {
        const QString name = platform::SingleInstance::nameFor(u"/srv/harovan"_s);
        platform::SingleInstance program(name, Module);
        QCOMPARE(program.claim(Request::Show), Start::Run);
        program.listen();
        QSignalSpy requests(&program, &platform::SingleInstance::requested);
        QLocalSocket socket;
        socket.connectToServer(name);
        QVERIFY(socket.waitForConnected(1000));
        socket.write("quit\n");
        QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(socket.readAll(), QByteArray());
        QCOMPARE(requests.size(), 0);
    }

    // A local process that opens connections and says nothing: each is
    // dropped within its second, only a few are held at a time, and a later
    // start is heard once they have gone.
    void idleConnectionsAreDropped()
    {
        const QString name = platform::SingleInstance::nameFor(u"/srv/harovan"_s);
        platform::SingleInstance program(name, Module);
        QCOMPARE(program.claim(Request::Show), Start::Run);
        program.listen();
        const int before = openFiles();
        constexpr int Idle = 2 * platform::LocalChannel::MaxConnections;
        std::vector<int> idle;
        const auto close = qScopeGuard([&idle] {
            for (const int fd : idle)
                ::close(fd);
        });
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(name).constData(), sizeof address.sun_path);
        for (int i = 0; i < Idle; ++i) {
            idle.push_back(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
            QCOMPARE(::connect(idle.back(), reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        }
        const auto dropped = [](int fd) {
            char byte = 0;
            return ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
        };
        int most = 0;
        QTRY_VERIFY_WITH_TIMEOUT(([&] {
            most = std::max(most, openFiles() - before - Idle);
            return std::all_of(idle.cbegin(), idle.cend(), dropped);
        }()),
            10'000);
        // Those heard, and the few accepted while they wait.
        QVERIFY2(most <= platform::LocalChannel::MaxConnections + 3, qPrintable(QString::number(most)));
        QSignalSpy requests(&program, &platform::SingleInstance::requested);
        QCOMPARE(askFromAnotherThread(name), QByteArray("ok\n"));
        QTRY_COMPARE(requests.size(), 1);
    }

    // The lock and the socket lie only in a folder that is the user's alone,
    // as lstat sees it: the runtime folder, else one of the user's own in the
    // temporary folder; where neither is, the program runs without the hand-over.
    void placedInAFolderOfTheUsersOwn_data()
    {
        QTest::addColumn<QString>("runtime"); // what XDG_RUNTIME_DIR names ("relative": "run" from where it starts)
        QTest::addColumn<QString>("own"); // what stands at the temporary folder's harovan-<uid>
        QTest::addColumn<bool>("inRuntime"); // the lock in the runtime folder, else in its own (if there)
        QTest::addColumn<bool>("placed");
        QTest::newRow("the runtime folder") << u"private"_s << QString() << true << true;
        QTest::newRow("no runtime folder") << QString() << QString() << false << true;
        QTest::newRow("a relative runtime folder") << u"relative"_s << QString() << false << true;
        QTest::newRow("a runtime folder others may enter") << u"open"_s << QString() << false << true;
        QTest::newRow("a runtime folder of another user") << u"another user's"_s << QString() << false << true;
        QTest::newRow("a link to a runtime folder") << u"link"_s << QString() << false << true;
        QTest::newRow("its own folder, there already") << QString() << u"private"_s << false << true;
        QTest::newRow("its own folder, open to others") << QString() << u"open"_s << false << false;
        QTest::newRow("its own folder, another user's") << QString() << u"another user's"_s << false << false;
        QTest::newRow("a link at its own folder") << QString() << u"link"_s << false << false;
        QTest::newRow("a file at its own folder") << QString() << u"file"_s << false << false;
    }
    void placedInAFolderOfTheUsersOwn()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, own);
        QFETCH(bool, inRuntime);
        QFETCH(bool, placed);
        if ((runtime == u"another user's" || own == u"another user's") && ::geteuid() != 0)
            QSKIP("only root can give a folder to another user");
        const QTemporaryDir temporary;
        QVERIFY(temporary.isValid());
        const QByteArray temporaryBefore = qgetenv("TMPDIR");
        const QString startedFrom = QDir::currentPath();
        const auto back = qScopeGuard([&temporaryBefore, &startedFrom] {
            temporaryBefore.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", temporaryBefore);
            QDir::setCurrent(startedFrom);
        });
        qputenv("TMPDIR", QFile::encodeName(temporary.path()));
        QVERIFY(QDir::setCurrent(temporary.path()));
        const QString runtimePath = temporary.filePath(u"run"_s);
        const QString ownPath = temporary.filePath(u"harovan-%1"_s.arg(::geteuid()));
        QVERIFY(plant(runtime == u"relative" ? u"private"_s : runtime, runtimePath));
        QVERIFY(plant(own, ownPath));
        if (runtime.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", runtime == u"relative" ? QByteArray("run") : QFile::encodeName(runtimePath));

        const QString name = platform::SingleInstance::nameFor(u"/home/a/.local/share/harovan"_s);
        QCOMPARE(name.isEmpty() ? QString() : QFileInfo(name).path(),
            !placed ? QString() : (inRuntime ? runtimePath : ownPath));
        if (placed && !inRuntime)
            QCOMPARE(QFileInfo(ownPath).permissions() & 0x0077, QFile::Permissions());
        platform::SingleInstance program(name, Module);
        QCOMPARE(program.claim(Request::Show), Start::Run);
    }

private:
    std::unique_ptr<QTemporaryDir> m_runtime;
};

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_singleinstance.moc"
