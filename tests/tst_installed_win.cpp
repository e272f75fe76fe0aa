// The installed Windows program's main window, run by tests/windows/installed.sh
// from the folder the installer filled: copied there, this program has that
// folder as its program folder, so the window is made from the program's own
// libraries over the installed data, settings.ini and atari.db with the real
// services. It is made in this process because Qt Test can type into and read
// only its own windows, and under Wine nothing outside (no accessibility bridge,
// no xdotool) reaches a Windows program's controls. Only the message boxes are
// fakes: a real one would wait for a click nobody makes.
//
// judge: the card type chosen as on a new installation, then three cards;
// restart, afterwards: the book still holds the won ones.
#include "core/ProgramState.h"
#include "core/UserFiles.h"
#include "platform/fakes/fakemessagebox.h"
#include "platform/realservices.h"
#include "testsupport.h"
#include "ui/frmFileSelect.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_InstalledWin : public QObject
{
    Q_OBJECT

    platform::RealServices m_services;
    platform::FakeMessageBox m_boxes;
    platform::ScopedService<platform::MessageBox> m_boxGuard {m_boxes};

    static AtariDraw bundledDraw()
    {
        ProgramState state(UserFiles::bookPath());
        state.data.loadAtStart(u"年賀状（令和8年度版）.xml"_s);
        return AtariDraw::of(state.data.winningData());
    }

private slots:
    // A loss, a hit on the last two digits, and a first prize on all six.
    void judge()
    {
        ProgramState state(UserFiles::bookPath());
        frmMain window(state);
        QVERIFY(window.Form_Load());
        window.show();
        const auto inform = [&window] { return window.findChild<QLabel *>(u"lblInform"_s)->text(); };
        // A new installation judges nothing until the card type is chosen.
        testsupport::whenModal<frmFileSelect>(&window, [](frmFileSelect *dialog) {
            auto *list = dialog->findChild<QListWidget *>(u"lstXmlFile"_s);
            const QList<QListWidgetItem *> found = list->findItems(u"令和8"_s, Qt::MatchContains);
            if (found.isEmpty())
                return dialog->reject();
            list->setCurrentItem(found.first());
            QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdOK"_s), Qt::LeftButton);
        });
        window.findChild<QAction *>(u"mnuSelectFile"_s)->trigger();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.findChild<QLineEdit *>(u"txtInputSimo2"_s)->setFocus();
        for (const auto &[keys, told] : {std::pair {"12", u"はずれです...次の番号を入力してください"_s},
                 std::pair {"73", u"３等が当たりました！おめでとうございます。"_s},
                 std::pair {"564557", u"１等が当たりました！おめでとうございます。"_s}}) {
            QVERIFY(testsupport::typeKeys(QString::fromLatin1(keys)));
            QCOMPARE(inform(), told);
        }
        window.close();
    }

    void restart()
    {
        ProgramState state(UserFiles::bookPath());
        QStringList numbers;
        for (const AtariCard &card : state.book.cards(bundledDraw()))
            numbers << card.strNumber;
        QCOMPARE(numbers, (QStringList {u"****73"_s, u"455756"_s}));
        QVERIFY(m_boxes.shown.isEmpty());
    }
};

QTEST_MAIN(tst_InstalledWin)
#include "tst_installed_win.moc"
