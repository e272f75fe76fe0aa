#pragma once

#include "platform/service.h"

#include <QString>

class QWidget;

namespace platform {

// A modal message box: title, text, icon and buttons. Every box the program
// shows goes through this service.
class MessageBox
{
public:
    enum class Icon { Critical, Warning, Information, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoDefaultNo };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~MessageBox() = default;
    // Shows the box over the window that asks (the window of over), else over
    // the active window, and waits for the answer. A window whose box follows
    // a file or print dialog names itself: when that dialog has closed, no
    // window may be active yet.
    // With OkCancel, OK is the default button; Esc and the close box answer Cancel.
    // With YesNo, Yes is the default button; Esc and the close box answer No.
    // YesNoDefaultNo is the same with No the default, for a question whose yes
    // cannot be undone.
    virtual Answer show(const QString &title, const QString &text, Icon icon, Buttons buttons, QWidget *over) = 0;
};

// QMessageBox centred over the window it belongs to.
class QtMessageBox final : public MessageBox
{
public:
    Answer show(const QString &title, const QString &text, Icon icon, Buttons buttons, QWidget *over) override;

    // The window a box belongs to: the open modal dialog, else the window of
    // asking while it is on screen, else the active window, else the
    // program's main window while it is on screen (a dialog that has just
    // closed leaves no window active); null before any window is shown.
    static QWidget *owner(QWidget *asking = nullptr);
};

inline MessageBox::Answer showMessage(const QString &title, const QString &text, MessageBox::Icon icon,
    MessageBox::Buttons buttons = MessageBox::Buttons::Ok, QWidget *over = nullptr)
{
    return Service<MessageBox>::get().show(title, text, icon, buttons, over);
}

} // namespace platform
