// The download dialog and the menu command that opens it, driven in-process
// with the fake transfer: the exact boxes, the files in the data folder,
// nothing outside it, and the pointer always restored. What arrives and how
// it is stored are the rules of the transfer (tst_http), the job
// (tst_downloadjob) and the store (tst_newdatastore); here is their wiring.

#include "core/FileErrorText.h"
#include "core/NewData.h"
#include "core/NewDataListJob.h"
#include "core/modNengajo.h"
#include "fakeservices.h"
#include "testsupport.h"
#include "ui/frmDownFileList.h"
#include "ui/frmMain.h"
#include "ui/frmProgress.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <functional>

using platform::MessageBox;
using Shown = platform::FakeMessageBox::Shown;

using testsupport::snapshot;

namespace {

const QString Title = QStringLiteral("Harovan");
const QString Failed = QStringLiteral("ダウンロードに失敗しました。");

// Files of the data folder only, by name, but for the schema the program brings.
QMap<QString, QByteArray> dataFiles(const QString &programFolder)
{
    QMap<QString, QByteArray> files;
    const auto all = snapshot(programFolder);
    for (auto it = all.begin(); it != all.end(); ++it) {
        if (it.key().startsWith(u"data/") && it.key() != QStringLiteral("data/") + modNengajo::SchemaFileName)
            files.insert(it.key().mid(5), it.value());
    }
    return files;
}

template <typename T> T *child(QWidget *parent, const QString &name)
{
    T *found = parent->findChild<T *>(name);
    if (!found)
        qFatal("no child %s", qPrintable(name));
    return found;
}

void clickItem(QListWidget *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

QList<int> selectedRows(QListWidget *list)
{
    QList<int> rows;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->isSelected())
            rows.append(i);
    }
    return rows;
}

// How downloading one entry ends.
enum class Fetched { Stored, Refused, Failed };

// The progress window of a job owner has just started comes up at once
// instead of half a second on (tst_frmprogress tests the delay).
void showProgressAtOnce(QWidget *owner)
{
    for (auto *progress : owner->findChildren<frmProgress *>()) {
        auto *timer = progress->findChild<QTimer *>(QStringLiteral("tmrProgressShow"));
        if (timer && timer->isActive())
            timer->setInterval(0);
    }
}

// How the user stops a transfer that takes too long.
enum class Interrupt { CancelButton, Escape, ProgramCloses };

void interrupt(Interrupt how, frmProgress *progress, QWidget *mainWindow)
{
    switch (how) {
    case Interrupt::CancelButton:
        QTest::mouseClick(child<QPushButton>(progress, "cmdProgressCancel"), Qt::LeftButton);
        break;
    case Interrupt::Escape:
        QTest::keyClick(progress, Qt::Key_Escape);
        break;
    case Interrupt::ProgramCloses:
        // As a shutdown or logout closes it: the main window, then every
        // other window as Qt's quit closes them.
        mainWindow->close();
        QApplication::closeAllWindows();
        break;
    }
}

// Presses ダウンロード and waits until the download has ended, whichever way.
bool downloadAndWait(frmDownFileList &dialog)
{
    return testsupport::waitForJob(dialog.findChild<DownloadJob *>(), [&] {
        child<QPushButton>(&dialog, "cmdDownload")->click();
        showProgressAtOnce(&dialog);
    });
}

// Runs the download command to its end: the confirmation, the list fetch
// and whatever follows it.
void runDownloadCommand(frmMain &window)
{
    window.mnuDownload_Click();
    showProgressAtOnce(&window);
    for (auto *fetch : window.findChildren<NewDataListJob *>()) {
        if (fetch->isRunning()) {
            QSignalSpy finished(fetch, &Job::finished);
            QVERIFY(finished.wait(30000));
        }
    }
}

// Counts the paint events a window receives.
class PaintCounter final : public QObject
{
public:
    explicit PaintCounter(QWidget *window)
        : QObject(window)
    {
        window->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

QByteArray opml(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><opml version=\"2.0\"><head><title>t</title></head><body>" + body
        + "</body></opml>";
}

} // namespace

class tst_frmDownFileList : public testsupport::WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controls();
    void toggleAndEnable();
    void enterPressesNothingEscCancels();
    void cancelWritesNothing_data();
    void cancelWritesNothing();
    void firstAndThird();
    void failureOnSecondOfThree();
    void downloadOne_data();
    void downloadOne();
    void writeFailureIsToldInWords();

    void menuCommand_data();
    void menuCommand();
    void menuCommandDownloads();
    void refusedFileIsToldAndOfferedAgain();
    void listFetchInterrupted_data();
    void listFetchInterrupted();
    void downloadInterrupted_data();
    void downloadInterrupted();

private:
    void setEntries(const QList<NewDataEntry> &entries);
    // What a list fetch found, for the dialogs the tests open themselves.
    QList<NewDataEntry> m_entries;
    static QString file(const QString &name) { return QStringLiteral("http://files.test/") + name; }
    QStringList &requested() const { return m_fakes->http.requested; }

    // The data files the fake transfer offers.
    const QByteArray m_a = testsupport::dataFileBytes("11");
    const QByteArray m_b = testsupport::dataFileBytes("22");
    const QByteArray m_c = testsupport::dataFileBytes("33");
};

void tst_frmDownFileList::init()
{
    startWindowTest();
    QVERIFY(m_folder->addSchema());
    m_fakes->http.bodies = {{file("a.xml"), m_a}, {file("b.xml"), m_b}, {file("c.xml"), m_c},
        {file("portal.xml"), testsupport::portalPageBytes()}};
}

void tst_frmDownFileList::cleanup()
{
    // Whatever happened, the pointer is back to the default.
    QVERIFY(!m_fakes->mousePointer.hourglass);
    endWindowTest();
}

void tst_frmDownFileList::setEntries(const QList<NewDataEntry> &entries)
{
    m_entries = entries;
}

void tst_frmDownFileList::controls()
{
    setEntries({{"年賀状（令和8年度版）", file("a.xml")}, {"b", file("b.xml")}, {"a", file("c.xml")}});
    frmDownFileList dialog(m_entries);
    dialog.show();

    QCOMPARE(dialog.objectName(), QStringLiteral("frmDownFileList"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("新着当選番号データ一覧"));
    QVERIFY(dialog.isModal());
    QVERIFY(!(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QCOMPARE(dialog.palette().color(QPalette::Window), QColor(0xC0C0FF));
    QCOMPARE(child<QLabel>(&dialog, "lblMsg_0")->text(), QStringLiteral("新着の当選番号データが見つかりました。"));
    QCOMPARE(
        child<QLabel>(&dialog, "lblMsg_1")->text(), QStringLiteral("ダウンロードするファイルを選択してください。"));

    auto *list = child<QListWidget>(&dialog, "lstXmlFile");
    QCOMPARE(list->selectionMode(), QAbstractItemView::MultiSelection);
    QStringList titles;
    for (int i = 0; i < list->count(); ++i)
        titles.append(list->item(i)->text());
    QCOMPARE(titles, (QStringList {"年賀状（令和8年度版）", "b", "a"})); // list order, not sorted
    QCOMPARE(list->font().family(), QStringLiteral("MS UI Gothic"));
    QCOMPARE(list->font().pointSizeF(), 11.25);

    auto *download = child<QPushButton>(&dialog, "cmdDownload");
    auto *cancel = child<QPushButton>(&dialog, "cmdCancel");
    QCOMPARE(download->text(), QStringLiteral("ダウンロード"));
    QCOMPARE(cancel->text(), QStringLiteral("キャンセル"));
    QVERIFY(!download->isEnabled());
    for (QPushButton *button : {download, cancel}) {
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
        QCOMPARE(button->palette().color(QPalette::Button), QColor(0xE0E0E0));
    }
    // Tab order: the list, then the two buttons.
    QList<QWidget *> order;
    QWidget *w = list;
    do {
        if (w == list || w == download || w == cancel)
            order.append(w);
        w = w->nextInFocusChain();
    } while (w != list);
    QCOMPARE(order, (QList<QWidget *> {list, download, cancel}));
}

void tst_frmDownFileList::toggleAndEnable()
{
    setEntries({{"a", file("a.xml")}, {"b", file("b.xml")}, {"c", file("c.xml")}});
    frmDownFileList dialog(m_entries);
    dialog.show();
    auto *list = child<QListWidget>(&dialog, "lstXmlFile");
    auto *download = child<QPushButton>(&dialog, "cmdDownload");

    // Each click toggles one entry and leaves the others alone.
    const struct
    {
        int row;
        QList<int> selected;
    } steps[] = {{2, {2}}, {0, {0, 2}}, {2, {0}}, {1, {0, 1}}, {0, {1}}, {1, {}}};
    for (const auto &step : steps) {
        clickItem(list, step.row);
        QCOMPARE(selectedRows(list), step.selected);
        QCOMPARE(download->isEnabled(), !step.selected.isEmpty());
    }

    // The keyboard toggles the current entry the same way.
    list->setFocus();
    list->setCurrentRow(1, QItemSelectionModel::NoUpdate);
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(selectedRows(list), QList<int> {1});
    QVERIFY(download->isEnabled());
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(selectedRows(list), QList<int> {});
    QVERIFY(!download->isEnabled());
    QVERIFY(requested().isEmpty());
}

void tst_frmDownFileList::enterPressesNothingEscCancels()
{
    setEntries({{"a", file("a.xml")}});
    frmDownFileList dialog(m_entries);
    dialog.show();
    auto *list = child<QListWidget>(&dialog, "lstXmlFile");
    auto *download = child<QPushButton>(&dialog, "cmdDownload");
    clickItem(list, 0);

    for (QWidget *focus : {static_cast<QWidget *>(list), static_cast<QWidget *>(download)}) {
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Return);
        QTest::keyClick(focus, Qt::Key_Enter);
        QVERIFY(dialog.isVisible());
    }
    QVERIFY(requested().isEmpty());

    QTest::keyClick(list, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(dialog.downloadReport().isEmpty());
    QVERIFY(requested().isEmpty());
    QVERIFY(dataFiles(m_folder->path()).isEmpty());
}

void tst_frmDownFileList::cancelWritesNothing_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("キャンセル") << false;
    QTest::newRow("close box") << true;
}

void tst_frmDownFileList::cancelWritesNothing()
{
    QFETCH(bool, closeBox);
    setEntries({{"a", file("a.xml")}, {"b", file("b.xml")}});
    const auto before = snapshot(m_folder->path());
    frmDownFileList dialog(m_entries);
    dialog.show();
    clickItem(child<QListWidget>(&dialog, "lstXmlFile"), 1);
    if (closeBox)
        dialog.close();
    else
        child<QPushButton>(&dialog, "cmdCancel")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(requested().isEmpty());
    QCOMPARE(snapshot(m_folder->path()), before);
    QVERIFY(m_fakes->messageBox.shown.isEmpty());
}

void tst_frmDownFileList::firstAndThird()
{
    setEntries({{"年賀状（令和8年度版）", file("a.xml")}, {"b", file("b.xml")}, {"c", file("c.xml")}});
    frmDownFileList dialog(m_entries);
    dialog.show();
    auto *list = child<QListWidget>(&dialog, "lstXmlFile");
    clickItem(list, 2);
    clickItem(list, 0);
    QVERIFY(downloadAndWait(dialog));

    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.downloadReport(), QStringLiteral("・年賀状（令和8年度版）\r\n・c\r\n"));
    QCOMPARE(downloadCompletedText(dialog.downloadReport()),
        QStringLiteral("以下のファイルのダウンロードが完了しました。\r\n\r\n・年賀状（令和8年度版）\r\n・c\r\n"));
    // In list order, one after another, under one hourglass.
    QCOMPARE(requested(), (QStringList {file("a.xml"), file("c.xml")}));
    QCOMPARE(m_fakes->mousePointer.events, (QStringList {"hourglass", "default"}));
    QCOMPARE(
        dataFiles(m_folder->path()), (QMap<QString, QByteArray> {{"年賀状（令和8年度版）.xml", m_a}, {"c.xml", m_c}}));
    QVERIFY(m_fakes->messageBox.shown.isEmpty());
}

void tst_frmDownFileList::failureOnSecondOfThree()
{
    setEntries({{"a", file("a.xml")}, {"late", file("late.xml")}, {"c", file("c.xml")}});
    frmDownFileList dialog(m_entries);
    dialog.show();
    auto *list = child<QListWidget>(&dialog, "lstXmlFile");
    auto *download = child<QPushButton>(&dialog, "cmdDownload");
    for (int row : {0, 1, 2})
        clickItem(list, row);

    m_fakes->messageBox.onShow = [&](const Shown &) {
        // The box comes after the pointer is back.
        QVERIFY(!m_fakes->mousePointer.hourglass);
    };
    QVERIFY(downloadAndWait(dialog));
    QCOMPARE(m_fakes->messageBox.shown,
        (QList<Shown> {{Title, Failed, MessageBox::Icon::Warning, MessageBox::Buttons::Ok}}));
    QCOMPARE(requested(), (QStringList {file("a.xml"), file("late.xml")}));
    QCOMPARE(dataFiles(m_folder->path()), (QMap<QString, QByteArray> {{"a.xml", m_a}}));
    QVERIFY(dialog.isVisible());
    QCOMPARE(selectedRows(list), (QList<int> {0, 1, 2}));
    QVERIFY(download->isEnabled());
    QVERIFY(dialog.downloadReport().isEmpty());

    // Pressing again downloads every selected entry from the first.
    const QByteArray late = testsupport::dataFileBytes("44");
    const QByteArray a2 = testsupport::dataFileBytes("12");
    m_fakes->http.bodies.insert(file("late.xml"), late);
    m_fakes->http.bodies.insert(file("a.xml"), a2);
    requested().clear();
    QVERIFY(downloadAndWait(dialog));
    QCOMPARE(requested(), (QStringList {file("a.xml"), file("late.xml"), file("c.xml")}));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.downloadReport(), QStringLiteral("・a\r\n・late\r\n・c\r\n"));
    QCOMPARE(
        dataFiles(m_folder->path()), (QMap<QString, QByteArray> {{"a.xml", a2}, {"late.xml", late}, {"c.xml", m_c}}));
}

// One row of each outcome: each way a transfer fails is a row of tst_http,
// each body that is no data file one of tst_newdatastore.
void tst_frmDownFileList::downloadOne_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<Fetched>("outcome");
    QTest::addColumn<QByteArray>("stored");

    QTest::newRow("data file") << file("a.xml") << Fetched::Stored << m_a;
    // What arrives in place of a data file is not stored.
    QTest::newRow("Wi-Fi portal page") << file("portal.xml") << Fetched::Refused << QByteArray();
    QTest::newRow("transfer fails") << file("none.xml") << Fetched::Failed << QByteArray();
}

void tst_frmDownFileList::downloadOne()
{
    QFETCH(QString, url);
    QFETCH(Fetched, outcome);
    QFETCH(QByteArray, stored);

    setEntries({{"one", url}});
    frmDownFileList dialog(m_entries);
    dialog.show();
    clickItem(child<QListWidget>(&dialog, "lstXmlFile"), 0);
    QVERIFY(downloadAndWait(dialog));

    QCOMPARE(m_fakes->mousePointer.events, (QStringList {"hourglass", "default"}));
    switch (outcome) {
    case Fetched::Failed:
        QCOMPARE(m_fakes->messageBox.shown,
            (QList<Shown> {{Title, Failed, MessageBox::Icon::Warning, MessageBox::Buttons::Ok}}));
        QVERIFY(dialog.isVisible());
        QVERIFY(dataFiles(m_folder->path()).isEmpty());
        break;
    case Fetched::Refused:
        // The dialog has done its part; the box that names the file comes after it.
        QVERIFY(m_fakes->messageBox.shown.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.downloadReport(), QString());
        QCOMPARE(dialog.refusedReport(), QStringLiteral("・one\r\n"));
        QVERIFY(dataFiles(m_folder->path()).isEmpty());
        break;
    case Fetched::Stored:
        QVERIFY(m_fakes->messageBox.shown.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.downloadReport(), QStringLiteral("・one\r\n"));
        QCOMPARE(dialog.refusedReport(), QString());
        QCOMPARE(dataFiles(m_folder->path()), (QMap<QString, QByteArray> {{"one.xml", stored}}));
        break;
    }
    QCOMPARE(snapshot(m_folder->path()).size(), dataFiles(m_folder->path()).size() + 2); // data/ and the schema
    // Its progress window is gone, even if it never appeared.
    QTRY_VERIFY(dialog.findChildren<frmProgress *>().isEmpty());
}

// A file the writer may not replace: the failure in the store's words.
void tst_frmDownFileList::writeFailureIsToldInWords()
{
    QVERIFY(m_folder->writeData(QStringLiteral("kept.xml"), "earlier"));
    QVERIFY(QFile::setPermissions(m_folder->dataPath(QStringLiteral("kept.xml")), QFile::ReadOwner));
    setEntries({{"kept", file("a.xml")}});
    frmDownFileList dialog(m_entries);
    dialog.show();
    clickItem(child<QListWidget>(&dialog, "lstXmlFile"), 0);
    QVERIFY(downloadAndWait(dialog));
    QCOMPARE(m_fakes->messageBox.shown,
        (QList<Shown> {{Title, Failed + QStringLiteral("\r\n\r\n") + FileErrorText::ofErrno(EACCES),
            MessageBox::Icon::Warning, MessageBox::Buttons::Ok}}));
    QVERIFY(dialog.isVisible());
}

// The menu command: confirmation, fetch, and the box for each result, with
// the fake transfer.
void tst_frmDownFileList::menuCommand_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QList<Shown>>("boxes");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<bool>("dialogShown");

    const Shown confirmation {Title,
        QStringLiteral("新着の当選番号データがあればダウンロードします。\r\n続行しますか？\r\n\r\n"
                       "※インターネットに繋がる環境が必要です。"),
        MessageBox::Icon::Question, MessageBox::Buttons::OkCancel};
    const Shown nothingNew {Title, QStringLiteral("新着の当選番号データはありません。"), MessageBox::Icon::Information,
        MessageBox::Buttons::Ok};
    // This build's server is this computer: the box says where new data come from instead.
    const Shown listFailed {Title,
        QStringLiteral(
            "新着データリストの読み込みに失敗しました。\r\n"
            "新しい当選番号データは、メニューの「当選番号データの作成」で当選番号を入力するか、"
            "ほかで受け取ったデータファイルを「はがきの種類を選択」の「ファイルから追加」で加えてください。"),
        MessageBox::Icon::Warning, MessageBox::Buttons::Ok};
    const QStringList list {modNengajo::ListDocumentUrl()};

    QTest::newRow("cancel makes no request") << false << opml("<outline title=\"a\" xmlUrl=\"u\"/>")
                                             << QList<Shown> {confirmation} << QStringList {} << false;
    QTest::newRow("nothing new") << true << opml({}) << QList<Shown> {confirmation, nothingNew} << list << false;
    QTest::newRow("only present files") << true << opml("<outline title=\"present\" xmlUrl=\"u\"/>")
                                        << QList<Shown> {confirmation, nothingNew} << list << false;
    QTest::newRow("list fails") << true << QByteArray("no list") << QList<Shown> {confirmation, listFailed} << list
                                << false;
    // A null list: no server answers, as in a build whose server is this computer.
    QTest::newRow("no server") << true << QByteArray() << QList<Shown> {confirmation, listFailed} << list << false;
    QTest::newRow("unsafe title") << true << opml("<outline title=\"../x\" xmlUrl=\"u\"/>")
                                  << QList<Shown> {confirmation, listFailed} << list << false;
    QTest::newRow("new entry opens the dialog")
        << true << opml("<outline title=\"a\" xmlUrl=\"u\"/>") << QList<Shown> {confirmation} << list << true;
    QTest::newRow("two entries with one title: said before the dialog")
        << true << opml("<outline title=\"a\" xmlUrl=\"u/1\"/><outline title=\"a\" xmlUrl=\"u/2\"/>")
        << QList<Shown> {confirmation,
               {Title,
                   QStringLiteral("新着データリストに、同じ名前のデータが２つ以上ありました。\r\n"
                                  "それぞれ最初のものだけを一覧に表示します。\r\n\r\n・a\r\n"),
                   MessageBox::Icon::Warning, MessageBox::Buttons::Ok}}
        << list << true;
}

void tst_frmDownFileList::menuCommand()
{
    QFETCH(bool, confirm);
    QFETCH(QByteArray, list);
    QFETCH(QList<Shown>, boxes);
    QFETCH(QStringList, requests);
    QFETCH(bool, dialogShown);

    QVERIFY(m_folder->writeData(QStringLiteral("present.xml"), "present"));
    // The fake transfer answers with the list at the program's own address.
    if (!list.isNull())
        m_fakes->http.bodies.insert(modNengajo::ListDocumentUrl(), list);
    if (!confirm)
        m_fakes->messageBox.answers = {MessageBox::Answer::Cancel};
    // Every box is shown with the default pointer.
    m_fakes->messageBox.onShow = [&](const Shown &) { QVERIFY(!m_fakes->mousePointer.hourglass); };
    const auto before = snapshot(m_folder->path());

    frmMain window(*m_state);
    bool opened = false;
    testsupport::whenModal<frmDownFileList>(&window, [&](frmDownFileList *dialog) {
        opened = true;
        QCOMPARE(dialog->parentWidget(), &window);
        child<QPushButton>(dialog, "cmdCancel")->click();
    });
    runDownloadCommand(window);

    QCOMPARE(m_fakes->messageBox.shown, boxes);
    QCOMPARE(requested(), requests);
    QCOMPARE(opened, dialogShown);
    QCOMPARE(m_fakes->mousePointer.events, (confirm ? QStringList {"hourglass", "default"} : QStringList {}));
    QCOMPARE(snapshot(m_folder->path()), before);
    QVERIFY(window.findChildren<frmDownFileList *>().isEmpty());
}

void tst_frmDownFileList::menuCommandDownloads()
{
    m_fakes->http.bodies.insert(modNengajo::ListDocumentUrl(),
        opml("<outline title=\"first\" xmlUrl=\"" + file("a.xml").toUtf8()
            + "\"/><outline title=\"present\" xmlUrl=\"u\"/><outline title=\"second\" xmlUrl=\""
            + file("b.xml").toUtf8() + "\"/><outline title=\"third\" xmlUrl=\"" + file("c.xml").toUtf8() + "\"/>"));
    QVERIFY(m_folder->writeData(QStringLiteral("present.xml"), "present"));

    frmMain window(*m_state);
    window.show();
    testsupport::whenModal<frmDownFileList>(&window, [&](frmDownFileList *dialog) {
        auto *list = child<QListWidget>(dialog, "lstXmlFile");
        QCOMPARE(list->count(), 3);
        clickItem(list, 0);
        clickItem(list, 2);
        child<QPushButton>(dialog, "cmdDownload")->click();
    });
    // The report comes once the dialog has gone.
    bool dialogGone = false;
    m_fakes->messageBox.onShow = [&](const Shown &) {
        const auto dialogs = window.findChildren<frmDownFileList *>();
        dialogGone = std::none_of(dialogs.begin(), dialogs.end(), [](QWidget *w) { return w->isVisible(); });
    };
    runDownloadCommand(window);

    QCOMPARE(m_fakes->messageBox.shown.size(), 2);
    QCOMPARE(m_fakes->messageBox.shown.last(),
        (Shown {Title, QStringLiteral("以下のファイルのダウンロードが完了しました。\r\n\r\n・first\r\n・third\r\n"),
            MessageBox::Icon::Information, MessageBox::Buttons::Ok}));
    QVERIFY(dialogGone);
    QCOMPARE(requested(), (QStringList {modNengajo::ListDocumentUrl(), file("a.xml"), file("c.xml")}));
    QCOMPARE(m_fakes->mousePointer.events, (QStringList {"hourglass", "default", "hourglass", "default"}));
    QCOMPARE(dataFiles(m_folder->path()),
        (QMap<QString, QByteArray> {{"first.xml", m_a}, {"present.xml", "present"}, {"third.xml", m_c}}));
    QCOMPARE(snapshot(m_folder->path()).size(), 5); // data/, the schema and three files, nothing else
}

// A file that is no data file: the others are stored, the box names it
// after the stored ones, and the next fetch offers it again.
void tst_frmDownFileList::refusedFileIsToldAndOfferedAgain()
{
    m_fakes->http.bodies.insert(modNengajo::ListDocumentUrl(),
        opml("<outline title=\"first\" xmlUrl=\"" + file("a.xml").toUtf8() + "\"/><outline title=\"portal\" xmlUrl=\""
            + file("portal.xml").toUtf8() + "\"/><outline title=\"third\" xmlUrl=\"" + file("c.xml").toUtf8()
            + "\"/>"));

    frmMain window(*m_state);
    window.show();
    testsupport::whenModal<frmDownFileList>(&window, [&](frmDownFileList *dialog) {
        auto *list = child<QListWidget>(dialog, "lstXmlFile");
        for (int row : {0, 1, 2})
            clickItem(list, row);
        child<QPushButton>(dialog, "cmdDownload")->click();
    });
    runDownloadCommand(window);
    QCOMPARE(m_fakes->messageBox.shown.size(), 2);
    QCOMPARE(m_fakes->messageBox.shown.last(),
        (Shown {Title,
            QStringLiteral(
                "以下のファイルのダウンロードが完了しました。\r\n\r\n・first\r\n・third\r\n\r\n"
                "以下のファイルは当選番号データではなかったため、保存しませんでした。\r\n\r\n・portal\r\n\r\n"
                "ホテルや駅などのインターネットでは、接続の手続きが済んでいるか確かめてから、"
                "もう一度ダウンロードしてください。"),
            MessageBox::Icon::Warning, MessageBox::Buttons::Ok}));
    QCOMPARE(dataFiles(m_folder->path()), (QMap<QString, QByteArray> {{"first.xml", m_a}, {"third.xml", m_c}}));

    QStringList offered;
    testsupport::whenModal<frmDownFileList>(&window, [&](frmDownFileList *dialog) {
        auto *list = child<QListWidget>(dialog, "lstXmlFile");
        for (int i = 0; i < list->count(); ++i)
            offered.append(list->item(i)->text());
        child<QPushButton>(dialog, "cmdCancel")->click();
    });
    runDownloadCommand(window);
    QCOMPARE(offered, QStringList {"portal"});
}

// Stopping the list fetch while nothing has come: ended there and then, no
// box, nothing written, and the main window painted all the while.
void tst_frmDownFileList::listFetchInterrupted_data()
{
    QTest::addColumn<Interrupt>("how");
    QTest::newRow("キャンセル") << Interrupt::CancelButton;
    QTest::newRow("Esc") << Interrupt::Escape;
    QTest::newRow("the program closing") << Interrupt::ProgramCloses;
}

void tst_frmDownFileList::listFetchInterrupted()
{
    QFETCH(Interrupt, how);
    m_fakes->http.held.insert(modNengajo::ListDocumentUrl());

    frmMain window(*m_state);
    window.show();
    const auto *paints = new PaintCounter(&window);
    bool painted = false;
    bool endedAtOnce = false;
    QString step;
    testsupport::whenModal<frmProgress>(&window, [&](frmProgress *progress) {
        step = child<QLabel>(progress, "lblProgress")->text();
        const QPointer<NewDataListJob> fetch = window.findChild<NewDataListJob *>();
        const int paintsBefore = paints->count;
        window.update();
        QTRY_VERIFY(paints->count > paintsBefore);
        painted = true;
        interrupt(how, progress, &window);
        endedAtOnce = fetch && !fetch->isRunning() && m_fakes->http.running.at(0).gone;
    });
    runDownloadCommand(window);

    QVERIFY(painted);
    QVERIFY(endedAtOnce);
    QCOMPARE(step, QStringLiteral("新着データリストを読み込んでいます…"));
    QCOMPARE(m_fakes->messageBox.shown.size(), 1); // the confirmation
    QCOMPARE(requested(), QStringList {modNengajo::ListDocumentUrl()});
    QCOMPARE(m_fakes->mousePointer.events, (QStringList {"hourglass", "default"}));
    QVERIFY(m_state->data.NewDataList().isEmpty());
    QVERIFY(dataFiles(m_folder->path()).isEmpty());
    // Closing the program during the fetch closes it as its close box does.
    QCOMPARE(window.isVisible(), how != Interrupt::ProgramCloses);
    QCOMPARE(snapshot(m_folder->path()).contains(QStringLiteral("settings.ini")), how == Interrupt::ProgramCloses);
}

// Stopping the second of three downloads: the first file stays, the second
// leaves nothing behind (its earlier file intact), the third is never asked
// for, and the dialog keeps its selection without a word.
void tst_frmDownFileList::downloadInterrupted_data()
{
    QTest::addColumn<Interrupt>("how");
    QTest::addColumn<qint64>("received"); // of 100 bytes; -1: nothing yet, the size unknown
    QTest::newRow("キャンセル while nothing comes") << Interrupt::CancelButton << qint64(-1);
    QTest::newRow("Esc with some come") << Interrupt::Escape << qint64(10);
    QTest::newRow("the program closing half-way") << Interrupt::ProgramCloses << qint64(50);
}

void tst_frmDownFileList::downloadInterrupted()
{
    QFETCH(Interrupt, how);
    QFETCH(qint64, received);
    m_fakes->http.held.insert(file("second.xml"));
    QVERIFY(m_folder->writeData(QStringLiteral("second.xml"), "earlier"));
    setEntries({{"first", file("a.xml")}, {"second", file("second.xml")}, {"third", file("c.xml")}});

    frmMain window(*m_state);
    window.show();
    frmDownFileList dialog(m_entries, &window);
    dialog.show();
    auto *list = child<QListWidget>(&dialog, "lstXmlFile");
    for (int row : {0, 1, 2})
        clickItem(list, row);
    QString step;
    bool controlsWait = false;
    bool barBusy = false;
    bool endedAtOnce = false;
    testsupport::whenModal<frmProgress>(&window, [&](frmProgress *progress) {
        step = child<QLabel>(progress, "lblProgress")->text();
        // The dialog's own controls wait meanwhile.
        controlsWait = !list->isEnabled() && !child<QPushButton>(&dialog, "cmdDownload")->isEnabled();
        // The first bytes of a known size fill the bar.
        if (received >= 0)
            m_fakes->http.progress(0, received, 100);
        barBusy = child<QProgressBar>(progress, "barProgress")->maximum() == 0;
        interrupt(how, progress, &window);
        endedAtOnce = !dialog.findChild<DownloadJob *>()->isRunning() && m_fakes->http.running.at(0).gone;
    });
    QVERIFY(downloadAndWait(dialog));

    QVERIFY(endedAtOnce);
    QCOMPARE(step, QStringLiteral("ダウンロードしています（2/3）\nsecond"));
    QVERIFY(controlsWait);
    QCOMPARE(barBusy, received < 0);
    QVERIFY(m_fakes->messageBox.shown.isEmpty());
    QCOMPARE(requested(), (QStringList {file("a.xml"), file("second.xml")}));
    QCOMPARE(m_fakes->mousePointer.events, (QStringList {"hourglass", "default"}));
    QCOMPARE(dataFiles(m_folder->path()), (QMap<QString, QByteArray> {{"first.xml", m_a}, {"second.xml", "earlier"}}));
    QCOMPARE(selectedRows(list), (QList<int> {0, 1, 2}));
    QVERIFY(child<QPushButton>(&dialog, "cmdDownload")->isEnabled());
    QVERIFY(dialog.downloadReport().isEmpty());
    QCOMPARE(dialog.isVisible(), how != Interrupt::ProgramCloses);
}

QTEST_MAIN(tst_frmDownFileList)
#include "tst_frmdownfilelist.moc"
