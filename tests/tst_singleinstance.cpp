// One program at a time: a later start hands its request to the program
// running on the same book and ends.
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

#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;
using Request = platform::SingleInstance::Request;

Q_DECLARE_METATYPE(platform::SingleInstance::Request)

namespace {

const QString Module = QStringLiteral(PROGRAM_DIR "/modules/harovan_localchannel.so");

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
        QTest::addColumn<bool>("handedOver");
        QTest::addColumn<bool>("answersNext"); // the later start then answers the next one
        QTest::newRow("nothing") << u"nothing"_s << Request::Show << QByteArray() << false << true;
        QTest::newRow("the program: comes forward") << u"program"_s << Request::Show << QByteArray() << true << false;
        QTest::newRow("the program: its list, with the desktop's token")
            << u"program"_s << Request::ShowList << QByteArray("token-1") << true << false;
        QTest::newRow("the program, its window not up yet")
            << u"program coming up"_s << Request::Show << QByteArray() << true << false;
        QTest::newRow("the program, started from another folder")
            << u"program elsewhere"_s << Request::Show << QByteArray() << true << false;
        QTest::newRow("the program on another book")
            << u"another book"_s << Request::Show << QByteArray() << false << true;
        QTest::newRow("a program that has ended") << u"ended"_s << Request::Show << QByteArray() << false << true;
        QTest::newRow("a program that does not answer") << u"hung"_s << Request::Show << QByteArray() << false << false;
    }
    void start()
    {
        QFETCH(QString, running);
        QFETCH(Request, request);
        QFETCH(QByteArray, token);
        QFETCH(bool, handedOver);
        QFETCH(bool, answersNext);
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
                    claimed = program->claim(Request::Show);
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
        }

        if (!token.isEmpty())
            qputenv("XDG_ACTIVATION_TOKEN", token);
        platform::SingleInstance later(name, Module);
        QCOMPARE(!later.claim(request), handedOver);
        if (handedOver) {
            QTRY_COMPARE(requests.size(), 1);
            QCOMPARE(requests.at(0), std::pair(request, QString::fromLatin1(token)));
            return;
        }
        QCOMPARE(requests.size(), 0);

        // The start that runs answers the next one, once it listens.
        later.listen();
        QSignalSpy laterRequests(&later, &platform::SingleInstance::requested);
        QByteArray answer;
        const std::unique_ptr<QThread> next(QThread::create([&name, &answer] {
            QLocalSocket socket;
            socket.connectToServer(name);
            if (socket.waitForConnected(1000) && socket.write("show-list\n") > 0 && socket.waitForReadyRead(2000))
                answer = socket.readLine();
        }));
        next->start();
        QTRY_VERIFY_WITH_TIMEOUT(next->isFinished(), 10'000);
        QCOMPARE(answer, answersNext ? QByteArray("ok\n") : QByteArray());
        QTRY_COMPARE(laterRequests.size(), answersNext ? 1 : 0);
    }

    // Only a whole request line is taken: anything else gets no answer and changes nothing.
    void strangeRequest()
    {
        const QString name = platform::SingleInstance::nameFor(u"/srv/harovan"_s);
        platform::SingleInstance program(name, Module);
        QVERIFY(program.claim(Request::Show));
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

private:
    std::unique_ptr<QTemporaryDir> m_runtime;
};

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_singleinstance.moc"
