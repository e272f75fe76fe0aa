#include "ui/TextSize.h"

#include "core/Settings.h"
#include "ui/Placement.h"

#include <QAction>
#include <QApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QLayout>
#include <QScreen>
#include <QWidget>

#include <optional>

namespace {

int &percentInForce()
{
    static int percent = TextSize::Standard;
    return percent;
}

// The desktop's font as it was when the program last grew the application's
// font from it, and the font it grew it to.
struct ApplicationFont
{
    QFont desktop;
    QFont grown;
};

std::optional<ApplicationFont> &applicationFont()
{
    static std::optional<ApplicationFont> font;
    return font;
}

QFont grownBy(QFont font, qreal factor)
{
    // A font the desktop gives in pixels has no point size.
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    else if (font.pixelSize() > 0)
        font.setPixelSize(qRound(font.pixelSize() * factor));
    return font;
}

void growApplicationFont()
{
    const QFont desktop = TextSize::desktopFont();
    const QFont grown = grownBy(desktop, TextSize::factor());
    applicationFont() = ApplicationFont {desktop, grown};
    if (QApplication::font() == grown)
        return;
    QApplication::setFont(grown);
    // Qt posts the new font to the windows; they take it now, before they
    // size themselves by it.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::ApplicationFontChange);
}

// The designed margins, gaps and fixed spaces of a layout, kept on the layout
// the first time it grows: left, top, right, bottom, the horizontal and the
// vertical gap (-1: the style decides), then the width and height of each
// item that is a fixed space (-1 for other items).
const char *const DesignedProperty = "harovanDesignedSpacing";

QList<int> designedSpacing(const QLayout *layout)
{
    const QMargins margins = layout->contentsMargins();
    QList<int> designed {margins.left(), margins.top(), margins.right(), margins.bottom()};
    if (const auto *grid = qobject_cast<const QGridLayout *>(layout))
        designed << grid->horizontalSpacing() << grid->verticalSpacing();
    else if (const auto *form = qobject_cast<const QFormLayout *>(layout))
        designed << form->horizontalSpacing() << form->verticalSpacing();
    else
        designed << layout->spacing() << layout->spacing();
    for (int i = 0; i < layout->count(); ++i) {
        if (QSpacerItem *space = layout->itemAt(i)->spacerItem())
            designed << space->sizeHint().width() << space->sizeHint().height();
        else
            designed << -1 << -1;
    }
    return designed;
}

void applySpacing(QLayout *layout, const QList<int> &designed)
{
    const auto grown = [](int pixels) { return pixels < 0 ? -1 : TextSize::scaled(pixels); };
    layout->setContentsMargins(grown(designed[0]), grown(designed[1]), grown(designed[2]), grown(designed[3]));
    if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
        grid->setHorizontalSpacing(grown(designed[4]));
        grid->setVerticalSpacing(grown(designed[5]));
    } else if (auto *form = qobject_cast<QFormLayout *>(layout)) {
        form->setHorizontalSpacing(grown(designed[4]));
        form->setVerticalSpacing(grown(designed[5]));
    } else if (designed[4] >= 0) {
        layout->setSpacing(grown(designed[4]));
    }
    for (int i = 0; i < layout->count() && 7 + 2 * i < designed.size(); ++i) {
        QSpacerItem *space = layout->itemAt(i)->spacerItem();
        const int width = designed[6 + 2 * i];
        if (!space || width < 0)
            continue;
        const QSizePolicy policy = space->sizePolicy();
        space->changeSize(grown(width), grown(designed[7 + 2 * i]), policy.horizontalPolicy(), policy.verticalPolicy());
    }
    layout->invalidate();
}

// Every layout of window (not those of windows it owns) grown from its
// designed spacing. All are read before any grows: a nested layout without a
// gap of its own takes its outer layout's.
void growLayouts(QWidget *window)
{
    QList<QLayout *> layouts;
    const QList<QLayout *> all = window->findChildren<QLayout *>();
    for (QLayout *layout : all) {
        const QWidget *owner = layout->parentWidget();
        // A main window's own layout places its menu bar and its content.
        if (owner && owner->window() == window && !(owner == window && window->inherits("QMainWindow")))
            layouts.append(layout);
    }
    for (QLayout *layout : std::as_const(layouts)) {
        if (!layout->property(DesignedProperty).isValid())
            layout->setProperty(DesignedProperty, QVariant::fromValue(designedSpacing(layout)));
    }
    for (QLayout *layout : std::as_const(layouts))
        applySpacing(layout, layout->property(DesignedProperty).value<QList<int>>());
}

class Follower final : public QObject
{
public:
    Follower(QWidget *window, std::function<void()> applySizes)
        : QObject(window)
        , m_window(window)
        , m_applySizes(std::move(applySizes))
        , m_factor(TextSize::factor())
    {
        if (m_factor != 1)
            growLayouts(window);
        m_applySizes();
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window || event->type() != TextSize::changeEventType())
            return false;
        follow();
        return true;
    }

private:
    void follow()
    {
        const qreal ratio = TextSize::factor() / m_factor;
        if (ratio == 1)
            return;
        m_factor = TextSize::factor();
        const QSize sizeBefore = m_window->size();
        const bool fitted = sizeBefore == m_window->sizeHint();
        // A window not yet shown takes its size when it first shows.
        const bool sized = m_window->isVisible() || m_window->testAttribute(Qt::WA_Resized);

        growLayouts(m_window);
        m_applySizes();
        QLayout *layout = m_window->layout();
        if (layout)
            layout->activate();
        if (sized && !(layout && layout->sizeConstraint() == QLayout::SetFixedSize)) {
            const QSize wanted = fitted ? m_window->sizeHint() : sizeBefore * ratio;
            m_window->resize(
                wanted.expandedTo(m_window->minimumSizeHint()).boundedTo(TextSize::roomOnScreen(m_window)));
        }
        if (m_window->isVisible())
            Placement::keepOnScreen(m_window);
    }

    QWidget *m_window;
    std::function<void()> m_applySizes;
    // The factor the window was last sized at.
    qreal m_factor;
};

class KeysInModalWindows final : public QObject
{
public:
    KeysInModalWindows(const QList<QAction *> &keys, QObject *owner)
        : QObject(owner)
        , m_keys(keys)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto *window = static_cast<QWidget *>(watched);
            if (window->isWindow() && window->isModal())
                window->addActions(m_keys);
        }
        return false;
    }

private:
    QList<QAction *> m_keys;
};

// Puts percent in force without remembering it.
void apply(int percent)
{
    percentInForce() = percent;
    growApplicationFont();
    QEvent changed(TextSize::changeEventType());
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        QCoreApplication::sendEvent(window, &changed);
}

} // namespace

int TextSize::percent()
{
    return percentInForce();
}

qreal TextSize::factor()
{
    return percentInForce() / 100.0;
}

int TextSize::scaled(int designedPixels)
{
    return qRound(designedPixels * factor());
}

int TextSize::fromSetting(const QString &value)
{
    for (const int percent : {Large, ExtraLarge}) {
        if (value.trimmed() == QString::number(percent))
            return percent;
    }
    return Standard;
}

int TextSize::larger(int percent)
{
    return percent < Large ? Large : ExtraLarge;
}

int TextSize::smaller(int percent)
{
    return percent > Large ? Large : Standard;
}

void TextSize::load()
{
    apply(fromSetting(Settings::textSize()));
}

void TextSize::choose(int percent)
{
    if (percent != Large && percent != ExtraLarge)
        percent = Standard;
    if (percent == percentInForce())
        return;
    apply(percent);
    // Remembered now, like the card type: the next start opens at this size.
    Settings::setTextSize(percent);
}

QFont TextSize::desktopFont()
{
    const QFont current = QApplication::font();
    // Any other font than the one the program set is the desktop's own.
    const std::optional<ApplicationFont> &font = applicationFont();
    return font && current == font->grown ? font->desktop : current;
}

void TextSize::keysInModalWindows(const QList<QAction *> &keys, QObject *owner)
{
    new KeysInModalWindows(keys, owner);
}

QSize TextSize::roomOnScreen(const QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QSize frame = window->frameGeometry().size() - window->size();
    // A window not yet on screen has no frame yet: it will get one like its
    // owner's.
    const QWidget *owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    if (frame.isNull() && !window->isVisible() && owner && owner->isVisible())
        frame = owner->frameGeometry().size() - owner->size();
    return screen->availableGeometry().size() - frame;
}

void TextSize::follow(QWidget *window, std::function<void()> applySizes)
{
    new Follower(window, std::move(applySizes));
}

QEvent::Type TextSize::changeEventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}
