#pragma once

#include "core/Kigen.h"
#include "core/Reminder.h"

#include <QList>
#include <QObject>

class DataInForce;
class QWidget;

// The program's reminders of the exchange deadline, in its own boxes: the
// book's state told once when it cannot be used, the question at start-up
// about won cards whose exchange ends soon, the list of those cards (on their
// draw, put in force when another is), and the question at the first close
// whether to remind at login. The window wires it and shows the list when asked.
class KigenReminder : public QObject
{
    Q_OBJECT

public:
    // data and book outlive the reminder.
    KigenReminder(DataInForce &data, AtariBook &book, QObject *parent = nullptr);

    // Once the window is on screen: opens the book and asks, at most once a
    // day, whether to see the cards due. With showList (harovan --show-list,
    // at start or handed to the running program) the list comes without a
    // question, on the draw due when one is.
    void startUp(bool showList);
    // A close with cards of an open exchange in the book and no entry at the
    // login reminder's place: asks whether to remind at login, over the window
    // over, unless the user has said no before (Reminder::OfferLoginReminder).
    void offerLoginReminder(QWidget *over);
    // Makes or removes the login reminder's entry and keeps the answer; false
    // after the box that tells why it failed.
    bool remindAtLogin(bool on, QWidget *over);
    // The deadline line of the data in force, for today.
    KigenLine kigen() const;

signals:
    // A minute has passed: the deadline line may read otherwise today. The
    // minute also notices a date that changed while the computer slept.
    void dayMayHaveTurned();
    // The list of won cards is to be shown.
    void showListRequested();

private:
    // Tells once a run of each way the book cannot be used, and offers a new
    // book beside a file that is not one or is damaged.
    void tellBookState();
    // The list on the draw the reminder named.
    void showDueList(const Reminder::Due &due);

    DataInForce &m_data;
    AtariBook &m_book;
    QList<AtariBook::State> m_bookStatesTold;
};
