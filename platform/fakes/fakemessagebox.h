#pragma once

#include "platform/messagebox.h"

#include <QList>
#include <QString>

#include <functional>

namespace platform {

// Records every box and answers as the test says (OK, or Yes to a question
// with Yes and No, unless told otherwise).
class FakeMessageBox final : public MessageBox
{
public:
    struct Shown
    {
        QString title;
        QString text;
        Icon icon = Icon::Critical;
        Buttons buttons = Buttons::Ok;
        bool operator==(const Shown &) const = default;
    };

    Answer show(const QString &title, const QString &text, Icon icon, Buttons buttons, QWidget *over) override
    {
        shown.append({title, text, icon, buttons});
        owners.append(over);
        if (onShow)
            onShow(shown.last());
        if (!answers.isEmpty())
            return answers.takeFirst();
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoDefaultNo ? Answer::Yes : Answer::Ok;
    }

    QList<Shown> shown;
    // The window each box was asked to stand over (null: the active one).
    QList<QWidget *> owners;
    // Answers given in turn; the agreeing answer once they run out.
    QList<Answer> answers;
    // Runs while the box is "open", e.g. to look at the program's state then.
    std::function<void(const Shown &)> onShow;
};

} // namespace platform
