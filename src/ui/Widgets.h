#pragma once

#include <QColor>
#include <QObject>
#include <QString>

#include <functional>
#include <initializer_list>

class QEvent;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QWidget;

// The controls every window builds the same way.
namespace Widgets {

// A label that shows its caption as it is: texts such as the card type come
// from data files and are never read as markup.
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption,
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);

// A push button in the light grey of the program's buttons.
QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption);

// A control with its name and the name screen readers read for it.
template <typename Control> Control *make(QWidget *parent, const QString &name, const QString &accessibleName)
{
    auto *control = new Control(parent);
    control->setObjectName(name);
    control->setAccessibleName(accessibleName);
    return control;
}

// The name of the member index of a control array.
inline QString indexedName(const QString &stem, int index)
{
    return stem + u'_' + QString::number(index);
}

// A box for a number typed key by key, at most maxLength digits: no input
// method composes text in it, a key that types anything but a digit or a
// control character (Backspace, Enter, the clipboard shortcuts) is refused,
// and it is greyed like a button while it takes no input. typed, when given,
// runs at each key that types a character, refused or not, before the box has it.
QLineEdit *makeDigitBox(QWidget *parent, const QString &name, int maxLength, std::function<void()> typed = {});

// A group box that keeps the window's own colour inside: only its outline is drawn.
QGroupBox *makeOutlinedBox(QWidget *parent, const QString &name, const QString &title);

// Has filter see each event sent to watched (every object's, when watched is
// qApp) for as long as owner lives; filter returns true to discard the event.
void filterEvents(QObject *watched, QObject *owner, std::function<bool(QObject *target, QEvent *event)> filter);

// A row of buttons at the right.
QHBoxLayout *buttonRow(std::initializer_list<QWidget *> buttons);

// A date field: box, where a date is typed as "2027/1/19", and beside it a
// button (cmdCalendar_ + the box's name) whose calendar (calendar_ + the
// box's name), in Japanese with the week from Sunday, writes a picked day into
// the box. It opens at the day typed, or today.
QHBoxLayout *makeDateField(QWidget *parent, QLineEdit *box);

// A width that holds columns full-width characters of widget's font, and a
// height that holds lines of its lines: sizes grow with the desktop's text size.
int textWidth(const QWidget *widget, int columns);
int textHeight(const QWidget *widget, int lines);

// Shows a modeless window in front and active, restored first when the user
// has minimised it.
void bringToFront(QWidget *window);

// Keeps every entry of menu whole at any font size: Qt's Fusion style lays a
// menu out a little narrower than it draws its entries at large desktop fonts
// and then shortens the longest with "…".
void keepMenuTextsWhole(QMenu *menu);

// Asks the shell to open target (a file path or a web address). When nothing
// opens it, a box over the window that asked says so and gives target to
// open by hand:
// what + "を開けませんでした。ブラウザで次のファイルを開いてください：",
// CR LF and target ("アドレス" for a web address). The shell's answer may
// come seconds later, when another window is active: the box stands over
// asking's window while that is still open.
void openOrTell(const QString &target, const QString &what, QWidget *asking);

} // namespace Widgets

// A web address shown as a link in a window (a label or a read-only text box):
// blue under the mouse, dark grey again once the mouse crosses the window's
// own surface (the lines drawn on it included), and one click, however fast
// the clicks come, asks the shell once to open it.
class Link final : public QObject
{
public:
    // opens tells whether a text is an address that opens; a text it refuses
    // neither turns blue nor opens. Without it, the link opens whatever it says.
    Link(QWidget *window, QWidget *link, std::function<bool(const QString &)> opens = {});

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool opens() const;
    void setColour(QRgb colour);

    QWidget *m_window;
    QWidget *m_link;
    std::function<bool(const QString &)> m_opens;
    // A press that began a click; the second press of a double-click begins none.
    bool m_pressed = false;
};
