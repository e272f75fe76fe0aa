#include "ui/Widgets.h"

#include "core/DataEdit.h"
#include "core/modNengajo.h"
#include "platform/clock.h"
#include "platform/messagebox.h"
#include "platform/shell.h"
#include "ui/Look.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDir>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <QToolButton>
#include <QWidgetAction>

#include <algorithm>

QLabel *Widgets::makeLabel(QWidget *parent, const QString &name, const QString &caption, Qt::Alignment alignment)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setText(caption);
    label->setAlignment(alignment);
    return label;
}

QPushButton *Widgets::makeButton(QWidget *parent, const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    Look::setColour(button, QPalette::Button, Look::ButtonBackground);
    return button;
}

namespace {

// Whether a widget is one of the lines drawn on a window's surface.
bool isSurfaceLine(const QWidget *widget)
{
    const auto *frame = qobject_cast<const QFrame *>(widget);
    return frame && (frame->frameShape() == QFrame::HLine || frame->frameShape() == QFrame::VLine);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

class EventFilter final : public QObject
{
public:
    EventFilter(QObject *watched, QObject *owner, std::function<bool(QObject *, QEvent *)> filter)
        : QObject(owner)
        , m_filter(std::move(filter))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *target, QEvent *event) override { return m_filter(target, event); }

private:
    std::function<bool(QObject *, QEvent *)> m_filter;
};

// What a digit box lets through of a key's text: the digits 0 to 9 and the
// control characters; the blank and everything above it, full-width digits
// included, is refused. With Ctrl held a key is a control character (the
// clipboard shortcuts), whatever text the platform reports for it.
bool isRefused(const QKeyEvent &key)
{
    const QString text = key.text();
    return !key.modifiers().testFlag(Qt::ControlModifier)
        && !std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 32 || isDigit(c); });
}

// The style tints the inside of a group box; this one draws only its outline.
class OutlinedGroupBoxStyle final : public QProxyStyle
{
public:
    explicit OutlinedGroupBoxStyle(QObject *owner)
        : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
    {
        setParent(owner);
    }

    void drawPrimitive(
        PrimitiveElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const override
    {
        if (element != PE_FrameGroupBox) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        // The outline starts below the title, where the style's own does.
        const int top
            = std::max(proxy()->pixelMetric(PM_ExclusiveIndicatorHeight, option, widget), option->fontMetrics.height())
            + 3;
        const QRectF frame = QRectF(option->rect.adjusted(0, top, 0, 0)).adjusted(0.5, 0.5, -0.5, -0.5);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(option->palette.color(QPalette::Window).darker(130));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(frame, 2, 2);
        painter->restore();
    }
};

} // namespace

QLineEdit *Widgets::makeDigitBox(QWidget *parent, const QString &name, int maxLength, std::function<void()> typed)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    box->setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhPreferNumbers | Qt::ImhNoPredictiveText);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Disabled, QPalette::Base, QColor::fromRgb(Look::ButtonBackground));
    box->setPalette(palette);
    Widgets::filterEvents(box, box, [typed = std::move(typed)](QObject *, QEvent *event) {
        // Input methods are off; should one send text anyway, it passes only as plain digits.
        if (event->type() == QEvent::InputMethod) {
            const QString text = static_cast<QInputMethodEvent *>(event)->commitString();
            return !std::all_of(text.cbegin(), text.cend(), isDigit);
        }
        // Keys that type no character (arrows, Delete, Tab, the modifiers) are
        // not the filter's business.
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->text().isEmpty() || key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab
            || key->key() == Qt::Key_Backtab)
            return false;
        if (typed)
            typed();
        return isRefused(*key);
    });
    return box;
}

void Widgets::filterEvents(QObject *watched, QObject *owner, std::function<bool(QObject *, QEvent *)> filter)
{
    new EventFilter(watched, owner, std::move(filter));
}

QGroupBox *Widgets::makeOutlinedBox(QWidget *parent, const QString &name, const QString &title)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(name);
    box->setStyle(new OutlinedGroupBoxStyle(box));
    return box;
}

QHBoxLayout *Widgets::buttonRow(std::initializer_list<QWidget *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    for (QWidget *button : buttons)
        row->addWidget(button);
    return row;
}

QHBoxLayout *Widgets::makeDateField(QWidget *parent, QLineEdit *box)
{
    box->setPlaceholderText(QStringLiteral("例：2027/1/19"));
    auto *button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("cmdCalendar_") + box->objectName());
    button->setText(QStringLiteral("…"));
    button->setAccessibleName(box->accessibleName() + QStringLiteral("をカレンダーで選ぶ"));
    button->setToolTip(QStringLiteral("カレンダーから選ぶ"));
    button->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(button);
    auto *picker = new QCalendarWidget(menu);
    picker->setObjectName(QStringLiteral("calendar_") + box->objectName());
    // Month and weekday names in Japanese, the week from Sunday, as the
    // calendars the dates are read from are printed.
    picker->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    picker->setFirstDayOfWeek(Qt::Sunday);
    picker->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    auto *action = new QWidgetAction(menu);
    action->setDefaultWidget(picker);
    menu->addAction(action);
    button->setMenu(menu);
    QObject::connect(menu, &QMenu::aboutToShow, picker, [picker, box] {
        const QDate typed = modNengajo::ParseTypedDate(box->text());
        picker->setSelectedDate(typed.isValid() ? typed : platform::Service<platform::Clock>::get().today());
    });
    QObject::connect(picker, &QCalendarWidget::clicked, box, [box, menu](QDate date) {
        box->setText(date.toString(u"yyyy/M/d"));
        menu->close();
    });
    auto *layout = new QHBoxLayout;
    layout->setSpacing(2);
    layout->addWidget(box);
    layout->addWidget(button);
    return layout;
}

int Widgets::textWidth(const QWidget *widget, int columns)
{
    return columns * widget->fontMetrics().horizontalAdvance(u'　');
}

int Widgets::textHeight(const QWidget *widget, int lines)
{
    return lines * widget->fontMetrics().lineSpacing();
}

void Widgets::bringToFront(QWidget *window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

void Widgets::keepMenuTextsWhole(QMenu *menu)
{
    // Before each showing the menu is widened to its longest entry with its
    // shortcut, the check column and the margins, in lines of its own font.
    filterEvents(menu, menu, [menu](QObject *, QEvent *event) {
        if (event->type() != QEvent::Show)
            return false;
        const QFontMetrics metrics = menu->fontMetrics();
        int longest = 0;
        for (const QAction *action : menu->actions()) {
            QString text = action->text();
            text.remove(u'&');
            int width = metrics.horizontalAdvance(text);
            if (const QKeySequence shortcut = action->shortcut(); !shortcut.isEmpty())
                width += 2 * metrics.height() + metrics.horizontalAdvance(shortcut.toString(QKeySequence::NativeText));
            longest = std::max(longest, width);
        }
        menu->setMinimumWidth(longest + 4 * metrics.height());
        return false;
    });
}

void Widgets::openOrTell(const QString &target, const QString &what, QWidget *asking)
{
    const QString where = QDir::isAbsolutePath(target) ? QStringLiteral("ファイル") : QStringLiteral("アドレス");
    const QString text = what + QStringLiteral("を開けませんでした。ブラウザで次の") + where
        + QStringLiteral("を開いてください：") + modNengajo::CrLf + target;
    platform::Service<platform::Shell>::get().open(target, [text, window = QPointer<QWidget>(asking)] {
        platform::showMessage(QStringLiteral("Harovan"), text, platform::MessageBox::Icon::Warning,
            platform::MessageBox::Buttons::Ok, window.data());
    });
}

Link::Link(QWidget *window, QWidget *link, std::function<bool(const QString &)> opens)
    : QObject(window)
    , m_window(window)
    , m_link(link)
    , m_opens(std::move(opens))
{
    window->setMouseTracking(true);
    link->setMouseTracking(true);
    window->installEventFilter(this);
    link->installEventFilter(this);
}

bool Link::opens() const
{
    return !m_opens || m_opens(m_link->property("text").toString());
}

void Link::setColour(QRgb colour)
{
    const bool textBox = qobject_cast<QLineEdit *>(m_link) != nullptr;
    Look::setColour(m_link, textBox ? QPalette::Text : QPalette::WindowText, colour);
}

bool Link::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_link) {
        switch (event->type()) {
        case QEvent::MouseMove:
            if (opens())
                setColour(Look::LinkHot);
            break;
        case QEvent::MouseButtonPress:
            m_pressed = static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
            break;
        case QEvent::MouseButtonDblClick:
            m_pressed = false;
            break;
        case QEvent::MouseButtonRelease: {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const bool click = m_pressed && mouse->button() == Qt::LeftButton
                && m_link->rect().contains(mouse->position().toPoint());
            m_pressed = false;
            if (click && opens())
                Widgets::openOrTell(m_link->property("text").toString(), QStringLiteral("ページ"), m_window);
            break;
        }
        default:
            break;
        }
    } else if (watched == m_window && event->type() == QEvent::MouseMove) {
        // Moves over a label or a button reach the window too (those controls
        // pass them on); only the window's own surface greys the link.
        const QWidget *under = m_window->childAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        if (!under || isSurfaceLine(under))
            setColour(Look::LinkCold);
    }
    return QObject::eventFilter(watched, event);
}
