#include "fakeservices.h"
#include "testsupport.h"

#include "core/AtariBook.h"
#include "core/CheckRecord.h"
#include "ui/Fonts.h"
#include "ui/frmAbout.h"
#include "ui/frmAtariList.h"
#include "ui/frmDataEdit.h"
#include "ui/frmDownFileList.h"
#include "ui/frmFileSelect.h"
#include "ui/frmMain.h"
#include "ui/frmProgress.h"
#include "ui/frmSyouhin.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <functional>
#include <memory>

// What screen readers are told: a name for every control the user works
// with, and the guidance line read out where the user types.
namespace {

QString accessibleName(QObject *object)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name) : QString();
}

QString accessibleDescription(QObject *object)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Description) : QString();
}

using WindowMaker = std::function<std::unique_ptr<QWidget>()>;

} // namespace

Q_DECLARE_METATYPE(WindowMaker)

class tst_Accessibility : public testsupport::WindowTest
{
    Q_OBJECT

private:
    CheckRecord m_record;
    DataInForce m_data;
    testsupport::HandJob m_job;
    std::unique_ptr<AtariBook> m_book;

private slots:
    void initTestCase() { Fonts::installSubstitutions(); }

    void init() { startWindowTest(); }

    void cleanup() { endWindowTest(); }

    void everyControlIsNamed_data()
    {
        QTest::addColumn<WindowMaker>("make");
        QTest::newRow("frmMain") << WindowMaker([this] { return std::make_unique<frmMain>(*m_state); });
        QTest::newRow("frmFileSelect") << WindowMaker(
            [this] { return std::make_unique<frmFileSelect>(m_state->data); });
        QTest::newRow("frmDownFileList") << WindowMaker([] {
            static const QList<NewDataEntry> entries {{QStringLiteral("年賀状（令和9年度版）"), QStringLiteral("u")}};
            return std::make_unique<frmDownFileList>(entries);
        });
        QTest::newRow("frmSyouhin") << WindowMaker(
            [this] { return std::make_unique<frmSyouhin>(m_data.winningData()); });
        QTest::newRow("frmAtariList") << WindowMaker([this] {
            m_book = std::make_unique<AtariBook>(m_folder->path() + QStringLiteral("atari.db"));
            return std::make_unique<frmAtariList>(*m_book, m_record, m_data);
        });
        QTest::newRow("frmProgress") << WindowMaker([this] { return std::make_unique<frmProgress>(&m_job, nullptr); });
        QTest::newRow("frmAbout") << WindowMaker([] { return std::make_unique<frmAbout>(); });
        QTest::newRow("frmDataEdit") << WindowMaker(
            [this] { return std::make_unique<frmDataEdit>(m_state->data.winningData()); });
    }

    // Whatever takes the keyboard or a click, and every value the window
    // counts, has a name of words, not its object name or a bare number.
    void everyControlIsNamed()
    {
        QFETCH(WindowMaker, make);
        const std::unique_ptr<QWidget> window = make();
        window->show();
        const QList<QWidget *> widgets = window->findChildren<QWidget *>();
        int named = 0;
        for (QWidget *widget : widgets) {
            if (!widget->isVisibleTo(window.get()) || qobject_cast<QAbstractItemView *>(widget->parentWidget())
                || widget->parentWidget()->inherits("QAbstractScrollArea"))
                continue;
            auto *label = qobject_cast<QLabel *>(widget);
            const bool counts = label && !label->text().isEmpty()
                && std::all_of(
                    label->text().cbegin(), label->text().cend(), [](QChar c) { return c.isDigit() || c == u'*'; });
            const bool worksWith = widget->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton *>(widget);
            if (!counts && !worksWith)
                continue;
            const QString name = accessibleName(widget);
            QVERIFY2(!name.isEmpty() && name != widget->objectName()
                    && std::any_of(name.cbegin(), name.cend(), [](QChar c) { return c.isLetter(); }),
                qPrintable(widget->objectName() + QStringLiteral(" is named \"") + name + u'"'));
            ++named;
        }
        QVERIFY(named > 0);
    }

    void cardsAreReadOut_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("described");
        QTest::addColumn<int>("cards");

        // Class 1 ends in 21 (upper 1234), class 3 holds 521, class 4 holds 34.
        QTest::newRow("hit on two digits") << "34"
                                           << "４等が当たりました！おめでとうございます。" << 1;
        QTest::newRow("upper digits asked for") << "21"
                                                << "３等の可能性あり！上４桁を入力してください" << 0;
        QTest::newRow("hit after the upper digits") << "210005"
                                                    << "３等が当たりました！おめでとうございます。" << 1;
        QTest::newRow("loss after the upper digits, on two lines")
            << "219999"
            << "はずれです...当選番号は 521 でした\n次の番号を入力してください" << 1;
        QTest::newRow("next card begun") << "345"
                                         << "" << 1;
    }

    // The guidance line describes the box the user types in, so a screen
    // reader reads it out there; the check count's name follows the count.
    void cardsAreReadOut()
    {
        QFETCH(QString, keys);
        QFETCH(int, cards);
        WinningData data = testsupport::makeWinningNumbers(
            {{QStringLiteral("123421")}, {QStringLiteral("987655")}, {QStringLiteral("521")}, {QStringLiteral("34")}});
        data.strFileName = QStringLiteral("test.xml");
        m_state->data.setWinningData(data);
        frmMain window(*m_state);
        window.AllClear();
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));

        for (const QChar c : keys)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());

        QTEST(accessibleDescription(QApplication::focusWidget()), "described");
        QCOMPARE(accessibleName(window.findChild<QLabel *>(QStringLiteral("lblCheckCnt"))),
            QStringLiteral("チェック枚数 %1枚").arg(cards));
    }
};

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
