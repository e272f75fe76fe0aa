#include "core/KigenReminder.h"

#include "core/DataInForce.h"
#include "core/LoginEntry.h"
#include "core/LoginEntryTexts.h"
#include "core/Settings.h"

#include "core/UserFiles.h"
#include "platform/clock.h"
#include "platform/messagebox.h"

#include <QFileInfo>
#include <QTimer>

#include <algorithm>

using platform::MessageBox;

KigenReminder::KigenReminder(DataInForce &data, AtariBook &book, QObject *parent)
    : QObject(parent)
    , m_data(data)
    , m_book(book)
{
    // Told when the book's call has returned: the box never runs inside it.
    connect(&m_book, &AtariBook::stateChanged, this, &KigenReminder::tellBookState, Qt::QueuedConnection);
    auto *kigenTimer = new QTimer(this);
    kigenTimer->setObjectName(QStringLiteral("kigenTimer"));
    connect(kigenTimer, &QTimer::timeout, this, &KigenReminder::dayMayHaveTurned);
    kigenTimer->start(std::chrono::minutes(1));
}

KigenLine KigenReminder::kigen() const
{
    return modNengajo::KigenText(platform::Service<platform::Clock>::get().today(), m_data.winningData().exchangeTo);
}

void KigenReminder::tellBookState()
{
    const AtariBook::State state = m_book.state();
    if (state == AtariBook::State::Ready || m_bookStatesTold.contains(state))
        return;
    m_bookStatesTold.append(state);
    if (!m_book.canStartNew()) {
        platform::showMessage(modNengajo::MessageTitle, m_book.message(), MessageBox::Icon::Warning);
        return;
    }
    const QDate today = platform::Service<platform::Clock>::get().today();
    if (platform::showMessage(modNengajo::MessageTitle,
            m_book.message() + modNengajo::CrLf + modNengajo::CrLf + m_book.newBookQuestion(today),
            MessageBox::Icon::Warning, MessageBox::Buttons::YesNo)
        != MessageBox::Answer::Yes)
        return;
    if (const Outcome<> started = m_book.startNewBook(today); !started.ok())
        platform::showMessage(modNengajo::MessageTitle, started.words, MessageBox::Icon::Critical);
}

void KigenReminder::startUp(bool showList)
{
    m_book.open();
    tellBookState();
    const QDate today = platform::Service<platform::Clock>::get().today();
    // A book that cannot be read is due nothing: the sitting's cards are listed all the same.
    std::optional<Reminder::Due> due;
    if (m_book.canRead()) {
        // The draw in force names its last exchange day as its data file now gives it.
        const WinningData &data = m_data.winningData();
        if (!data.strType.isEmpty())
            m_book.noteDraw(AtariDraw::of(data));
        // The notification that asked for the list has remembered today already.
        due = Reminder::Check(today, m_book.pendingDraws(), showList ? QDate() : Settings::reminded());
    }
    if (!due) {
        if (showList)
            emit showListRequested();
        return;
    }
    Settings::setReminded(today);
    if (showList
        || platform::showMessage(modNengajo::MessageTitle, Reminder::QuestionText(*due), MessageBox::Icon::Question,
               MessageBox::Buttons::YesNo)
            == MessageBox::Answer::Yes)
        showDueList(*due);
}

void KigenReminder::showDueList(const Reminder::Due &due)
{
    // The list shows the draw in force: the cards asked about are of another
    // draw, whose data file is put in force when it is still there.
    const AtariDraw inForce = AtariDraw::of(m_data.winningData());
    const AtariDraw &asked = due.draws.first();
    const bool shown = std::any_of(due.draws.cbegin(), due.draws.cend(), [&inForce](const AtariDraw &draw) {
        return draw.strType == inForce.strType && draw.strYear == inForce.strYear;
    });
    if (!shown && !asked.strFileName.contains(u'/') && QFileInfo(UserFiles::dataFilePath(asked.strFileName)).isFile())
        m_data.LoadDataFile(asked.strFileName).tell();
    emit showListRequested();
}

void KigenReminder::offerLoginReminder(QWidget *over)
{
    // The entry is the state; the answer kept says only whether the user has
    // said no. A yes whose entry has gone since (the uninstaller removes it,
    // settings.ini stays) is asked about again.
    const std::optional<bool> answered = Settings::remindAtLogin();
    if (answered == false)
        return;
    // The window's own book, not a second connection to its file.
    if (!Reminder::OfferLoginReminder(platform::Service<platform::Clock>::get().today(), m_book.pendingDraws(),
            answered, LoginAutostart::find().kind != LoginEntry::Kind::None))
        return;
    const bool yes = platform::showMessage(modNengajo::MessageTitle, Reminder::LoginReminderQuestion,
                         MessageBox::Icon::Question, MessageBox::Buttons::YesNo, over)
        == MessageBox::Answer::Yes;
    // A Yes whose entry could not be made is kept as a no, so that it is not
    // asked at every close: the menu tries again.
    if (!yes || !remindAtLogin(true, over))
        Settings::setRemindAtLogin(false);
}

bool KigenReminder::remindAtLogin(bool on, QWidget *over)
{
    const QString error
        = LoginEntryTexts::failure(LoginAutostart::set(on, LoginAutostart::program(), LoginEntryTexts::names()));
    if (!error.isEmpty()) {
        platform::showMessage(
            modNengajo::MessageTitle, error, MessageBox::Icon::Warning, MessageBox::Buttons::Ok, over);
        return false;
    }
    Settings::setRemindAtLogin(on);
    return true;
}
