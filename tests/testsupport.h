#pragma once

// Shared by the tests: a throw-away program folder with its data folder,
// helpers to put fixture and bundled files into it, and winning data built in
// the shape the loader gives them.

#include "core/DataEdit.h"
#include "core/DataInForce.h"
#include "core/Job.h"
#include "core/UserFiles.h"
#include "core/modNengajo.h"
#include "platform/fakes/fakeprogramfolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>

#ifndef Q_OS_WIN
#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#ifdef QT_WIDGETS_LIB
#include "core/ProgramState.h"
#include "fakeservices.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>

#include <memory>
#endif

namespace testsupport {

inline QString fixturePath(const QString &name)
{
    return QStringLiteral(TEST_DATA_DIR "/") + name;
}

inline QString bundledPath(const QString &name)
{
    return QStringLiteral(PROGRAM_DATA_DIR "/") + name;
}

// The content of a file; empty when it cannot be read.
inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
inline QByteArray fixtureBytes(const QString &name)
{
    return fileBytes(fixturePath(name));
}

// A data file the program accepts: one class "1等" with one winning number.
inline QByteArray dataFileBytes(const QByteArray &number)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tousen xmlns=\"urn:tousen\" type=\"年賀状\" year=\"令和8\">\n"
           "  <toukyu name=\"1等\">\n    <number>"
        + number + "</number>\n  </toukyu>\n</tousen>\n";
}

// The page a hotel's or a café's network answers with until the user has
// logged in to it, whatever address was asked for.
inline QByteArray portalPageBytes()
{
    return "<!DOCTYPE html>\n<html><head><title>Free Wi-Fi</title></head>"
           "<body><form action=\"/login\"><input type=\"submit\" value=\"接続する\"></form>"
           "</body></html>\n";
}

// A temporary program folder installed as the program's folder, with an empty
// data folder, and a user's folder that does not exist yet (as in a fresh
// home). Removed with everything in it when the object goes. Whatever asks
// QStandardPaths meanwhile gets its test folders, never the user's own.
class ProgramFolderFixture
{
public:
    explicit ProgramFolderFixture(bool withDataFolder = true)
        : m_folder(m_dir.path(), m_home.path() + QStringLiteral("/.local/share/harovan"))
        , m_guard(m_folder)
    {
        QStandardPaths::setTestModeEnabled(true);
        if (withDataFolder)
            QDir(m_dir.path()).mkdir(QStringLiteral("data"));
    }
    ~ProgramFolderFixture() { setReadOnly(false); }
    ProgramFolderFixture(const ProgramFolderFixture &) = delete;
    ProgramFolderFixture &operator=(const ProgramFolderFixture &) = delete;

    QString path() const { return m_dir.path() + u'/'; }
    QString dataPath(const QString &name = {}) const { return path() + QStringLiteral("data/") + name; }
    QString userPath() const { return m_folder.userPath + u'/'; }
    QString userDataPath(const QString &name = {}) const { return userPath() + QStringLiteral("data/") + name; }

    // Takes the write permission off the program folder and its data folder,
    // as a package install for every user has them; false gives it back.
    void setReadOnly(bool readOnly) const
    {
        const QFile::Permissions permissions = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
            | QFile::ReadOther | QFile::ExeOther | (readOnly ? QFile::Permissions() : QFile::WriteOwner);
        for (const QString &folder : {path(), dataPath()}) {
            if (QFileInfo(folder).isDir())
                QFile::setPermissions(folder, permissions);
        }
    }

    // Copies a file into the data folder, under another name when asked.
    bool addData(const QString &sourcePath, const QString &asName = {}) const
    {
        return copyInto(dataPath(), sourcePath, asName);
    }
    bool addFixture(const QString &fixture, const QString &asName = {}) const
    {
        return addData(fixturePath(fixture), asName);
    }
    // Copies a fixture into the user's data folder, creating it.
    bool addUserFixture(const QString &fixture, const QString &asName = {}) const
    {
        return QDir().mkpath(userDataPath()) && copyInto(userDataPath(), fixturePath(fixture), asName);
    }
    bool addSchema() const { return addData(bundledPath(modNengajo::SchemaFileName)); }
    bool writeData(const QString &name, const QByteArray &content) const
    {
        QFile file(dataPath(name));
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
    }

private:
    static bool copyInto(const QString &folder, const QString &sourcePath, const QString &asName)
    {
        const QString target = folder + (asName.isEmpty() ? QFileInfo(sourcePath).fileName() : asName);
        QFile::remove(target);
        return QFile::copy(sourcePath, target) && QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    }

    QTemporaryDir m_dir;
    QTemporaryDir m_home;
    platform::FakeProgramFolder m_folder;
    platform::ScopedService<platform::ProgramFolder> m_guard;
};

// Every file and folder below folder (a path ending in a separator), by
// relative path, with its content: for "nothing else changed".
inline QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(
        folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        const bool isFile = QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
        files.insert(path.mid(folder.size()), isFile ? file.readAll() : QByteArray("<dir>"));
    }
    return files;
}

// A prize class as the loader reads one: its winning numbers at positions 1..
// (an empty text is an empty position), the row ending after the last, and
// its goods joined by CR LF.
// How many times this program holds the file at path open: once for each
// connection to a book of won cards.
inline int openCount(const QString &path)
{
    const QString file = QFileInfo(path).canonicalFilePath();
    int count = 0;
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo &descriptor :
        descriptors.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        count += descriptor.symLinkTarget() == file ? 1 : 0;
    return count;
}

inline PrizeClass makeClass(const QStringList &numbers, const QStringList &goods = {}, const QString &name = {})
{
    return PrizeClass {name, QStringList {QString()} + numbers, goods.join(modNengajo::CrLf)};
}

// Winning data holding classes 1.. in the order given, slot 0 left empty as
// the loader leaves it before the first named class.
inline WinningData makeWinningData(
    const QList<PrizeClass> &classes, const QString &type = {}, const QString &year = {}, const QString &url = {})
{
    WinningData data;
    data.strType = type;
    data.strYear = year;
    data.strUrl = url;
    data.intClassCount = static_cast<qint16>(classes.size());
    data.Classes = QList<PrizeClass> {makeClass({})} + classes;
    for (const PrizeClass &prizeClass : std::as_const(data.Classes))
        data.intMaxNumbers = std::max(data.intMaxNumbers, static_cast<qint16>(prizeClass.strNumbers.size() - 1));
    return data;
}

// The same for classes given by their winning numbers alone.
inline WinningData makeWinningNumbers(const QList<QStringList> &numbersByClass)
{
    QList<PrizeClass> classes;
    for (const QStringList &numbers : numbersByClass)
        classes.append(makeClass(numbers));
    return makeWinningData(classes);
}

// Changes the data in force as a test needs them; the windows hear of it as
// of a load.
inline void changeData(DataInForce &inForce, const std::function<void(WinningData &)> &change)
{
    WinningData data = inForce.winningData();
    change(data);
    inForce.setWinningData(std::move(data));
}

// The editor's input with "field=value" changes, each field named by its
// control (txtNumbers_2, txtSyouhin_0, cboEra, txtDrawDate, ...).
inline DataEditInput editedInput(DataEditInput input, const QStringList &changes)
{
    for (const QString &change : changes) {
        const qsizetype at = change.indexOf(u'=');
        const QString field = change.left(at);
        const QString value = change.mid(at + 1);
        const auto classField = [&](const QString &stem, std::array<QString, DataEditInput::ClassCount> &fields) {
            if (!field.startsWith(stem + u'_'))
                return false;
            fields[field.mid(stem.size() + 1).toInt()] = value;
            return true;
        };
        if (classField(QStringLiteral("txtNumbers"), input.strNumbers)
            || classField(QStringLiteral("txtSyouhin"), input.strSyouhin))
            continue;
        const QMap<QString, QString *> fields {{QStringLiteral("txtType"), &input.strType},
            {QStringLiteral("cboEra"), &input.strEra}, {QStringLiteral("txtYear"), &input.strYear},
            {QStringLiteral("txtDrawDate"), &input.strDrawDate},
            {QStringLiteral("txtExchangeFrom"), &input.strExchangeFrom},
            {QStringLiteral("txtExchangeTo"), &input.strExchangeTo}, {QStringLiteral("txtURL"), &input.strUrl}};
        if (!fields.contains(field))
            qFatal("no field %s", qPrintable(field));
        *fields.value(field) = value;
    }
    return input;
}

#ifndef Q_OS_WIN
// Runs work in a child process whose files may grow to no more than fileBytes,
// as on a full disk (a write past it fails with EFBIG); as the user given when
// the test runs as root. The limit and the user never reach the test itself.
// Returns the text work returned.
inline QString inChildWithFileLimit(
    rlim_t fileBytes, const std::function<QString()> &work, std::optional<uid_t> asUser = std::nullopt)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        qFatal("no pipe for the child process");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (asUser && (::setgroups(0, nullptr) != 0 || ::setgid(*asUser) != 0 || ::setuid(*asUser) != 0))
            ::_exit(2);
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit {};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = fileBytes;
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            ::_exit(2);
        const QByteArray result = work().toUtf8();
        qsizetype done = 0;
        while (done < result.size()) {
            const ssize_t written = ::write(pipeEnds[1], result.constData() + done, result.size() - done);
            if (written <= 0)
                ::_exit(2);
            done += written;
        }
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    QByteArray result;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) != 0;) {
        if (got < 0 && errno != EINTR)
            break;
        if (got > 0)
            result.append(buffer, got);
    }
    ::close(pipeEnds[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        qFatal("the child process did not run as asked");
    return QString::fromUtf8(result);
}
#endif

// A job that runs until the test ends it, for what shows or owns a job.
class HandJob final : public Job
{
public:
    using Job::Job;
    bool stopped = false;

    void start() { begin(); }
    void finish() { end(); }

private:
    void stop() override { stopped = true; }
};

// Does start, which starts job (at once or from the event loop), and waits
// until the job has finished.
inline bool waitForJob(Job *job, const std::function<void()> &start)
{
    QSignalSpy finished(job, &Job::finished);
    start();
    return !finished.isEmpty() || finished.wait(30000);
}

#ifdef QT_WIDGETS_LIB
// Types the keys where the user's keystrokes go: each into the widget that has
// the focus then. False when none has it.
inline bool typeKeys(const QString &keys)
{
    for (const QChar c : keys) {
        QWidget *target = QApplication::focusWidget();
        if (!target)
            return false;
        QTest::keyClick(target, c.toLatin1());
    }
    return true;
}

// Sends target a move of the pointer to pos, no button held, as the window
// system reports one to the control under the pointer; QTest::mouseMove would
// carry the pointer's place on from one test to the next.
inline void movePointer(QWidget *target, const QPoint &pos)
{
    QMouseEvent move(QEvent::MouseMove, pos, target->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
}

// Runs act once on the first window of type T that is modal and shown (and,
// when a name is given, carries that objectName). Polls, since the window may
// come many turns of the event loop later (after a transfer, inside another
// modal window).
template <typename T> void whenModal(QWidget *context, std::function<void(T *)> act, const QString &name = {})
{
    auto *timer = new QTimer(context);
    QObject::connect(timer, &QTimer::timeout, context, [timer, act, name] {
        auto *window = qobject_cast<T *>(QApplication::activeModalWidget());
        if (window && (name.isEmpty() || window->objectName() == name)) {
            timer->stop();
            timer->deleteLater();
            act(window);
        }
    });
    timer->start(10);
}

// What every window test stands on, made afresh for each test function: a
// throw-away program folder, every outside service faked, and what main()
// makes for the windows (m_state: the data in force, the sitting, the book)
// as at program start. A window test derives from it, starts it in init()
// and ends it in cleanup() once its windows are gone.
class WindowTest : public QObject
{
protected:
    void startWindowTest(bool withDataFolder = true)
    {
        m_folder = std::make_unique<ProgramFolderFixture>(withDataFolder);
        m_fakes = std::make_unique<FakeServices>();
        // The login reminder's autostart entry goes to a throw-away folder too.
        m_config = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
        newProgramState();
    }
    // As a new run of the program starts: nothing in force, a new sitting.
    void newProgramState() { m_state = std::make_unique<ProgramState>(UserFiles::bookPath()); }
    void endWindowTest()
    {
        m_state.reset();
        m_fakes.reset();
        m_folder.reset();
        qunsetenv("XDG_CONFIG_HOME");
        m_config.reset();
    }
    QString autostartEntryPath() const
    {
        return m_config->path() + QStringLiteral("/autostart/harovan-reminder.desktop");
    }

    std::unique_ptr<ProgramFolderFixture> m_folder;
    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<ProgramState> m_state;
};
#endif

} // namespace testsupport
