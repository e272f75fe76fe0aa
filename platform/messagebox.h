#pragma once

#include "platform/service.h"

#include <QString>

namespace platform {

// A modal message box: title, text, icon and buttons. Every box the program
// shows goes through this service.
class MessageBox
{
public:
    enum class Icon { Critical, Warning, Information, Question };
    enum class Buttons { Ok, OkCancel };
    enum class Answer { Ok, Cancel };

    virtual ~MessageBox() = default;
    // Shows the box over the active window and waits for the answer.
    // With OkCancel, OK is the default button; Esc and the close box answer Cancel.
    virtual Answer show(const QString &title, const QString &text, Icon icon, Buttons buttons = Buttons::Ok) = 0;
};

// QMessageBox over the active window.
class QtMessageBox final : public MessageBox
{
public:
    Answer show(const QString &title, const QString &text, Icon icon, Buttons buttons) override;
};

inline MessageBox::Answer showMessage(const QString &title, const QString &text, MessageBox::Icon icon,
    MessageBox::Buttons buttons = MessageBox::Buttons::Ok)
{
    return Service<MessageBox>::get().show(title, text, icon, buttons);
}

} // namespace platform
