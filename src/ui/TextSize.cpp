#include "ui/TextSize.h"

#include "core/Settings.h"
#include "ui/Placement.h"
#include "ui/Widgets.h"

#include <QActionGroup>
#include <QApplication>
#include <QGridLayout>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
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
    // Qt posts the new font to the windows: they take it now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::ApplicationFontChange);
}

// Has target, a window or the 表示 menu, follow the text size: at each
// change, once its own handling has handed the new font on to its controls
// (the sizes are measured in it), relayout runs.
void followSize(QWidget *target, std::function<void()> relayout)
{
    Widgets::filterEvents(target, target, [relayout = std::move(relayout)](QObject *watched, QEvent *event) {
        if (event->type() != QEvent::ApplicationFontChange)
            return false;
        watched->event(event);
        relayout();
        return true;
    });
}

// The next size up and down, staying at the largest and the smallest.
int larger(int percent)
{
    return percent < TextSize::Large ? TextSize::Large : TextSize::ExtraLarge;
}

int smaller(int percent)
{
    return percent > TextSize::Large ? TextSize::Large : TextSize::Standard;
}

// Sets the margins, gaps and fixed spaces of layout to grown of what they are.
template <typename Grown> void growLayout(QLayout *layout, Grown grown)
{
    const QMargins margins = layout->contentsMargins();
    layout->setContentsMargins(
        grown(margins.left()), grown(margins.top()), grown(margins.right()), grown(margins.bottom()));
    if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
        grid->setHorizontalSpacing(grown(grid->horizontalSpacing()));
        grid->setVerticalSpacing(grown(grid->verticalSpacing()));
    } else if (layout->spacing() >= 0) {
        layout->setSpacing(grown(layout->spacing()));
    }
    for (int i = 0; i < layout->count(); ++i) {
        if (QSpacerItem *space = layout->itemAt(i)->spacerItem()) {
            const QSizePolicy policy = space->sizePolicy();
            space->changeSize(grown(space->sizeHint().width()), grown(space->sizeHint().height()),
                policy.horizontalPolicy(), policy.verticalPolicy());
        }
    }
    layout->invalidate();
}

// The margins, gaps and fixed spaces of window's layouts (not those of
// windows it owns), laid out for the factor from, grown to the size in force.
void growSpacing(QWidget *window, qreal from)
{
    if (TextSize::factor() == from)
        return;
    // A spacing grown to from is a designed one times from, rounded: dividing
    // by from (at most 2) and rounding gives the designed one back.
    const auto grown = [from](int pixels) { return pixels < 0 ? -1 : TextSize::scaled(qRound(pixels / from)); };
    const QList<QLayout *> all = window->findChildren<QLayout *>();
    // Inner layouts first: one without a gap of its own reads its outer
    // layout's, which must not have grown yet.
    for (auto layout = all.rbegin(); layout != all.rend(); ++layout) {
        const QWidget *owner = (*layout)->parentWidget();
        // A main window's own layout places its menu bar and its content.
        if (owner && owner->window() == window && !(owner == window && window->inherits("QMainWindow")))
            growLayout(*layout, grown);
    }
}

// Puts percent in force without remembering it: Qt tells every window of the
// new application font, each sets its fonts again, and then each is sized
// again. A window that fits its content (or whose layout fixes its size) fits
// it again, one the user has sized grows by as much as the text did, neither
// beyond the room on its screen, and a window on screen stays on its screen.
void apply(int percent)
{
    const qreal before = TextSize::factor();
    percentInForce() = percent;
    // Each window's size, and whether it fitted its content; a window not yet
    // shown takes its size when it first shows.
    QList<std::tuple<QWidget *, QSize, bool>> sized;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->isVisible() || window->testAttribute(Qt::WA_Resized))
            sized.append({window, window->size(), window->size() == window->sizeHint()});
        growSpacing(window, before);
    }
    growApplicationFont();
    for (const auto &[window, size, fitted] : std::as_const(sized)) {
        QLayout *layout = window->layout();
        if (layout)
            layout->activate();
        if (!layout || layout->sizeConstraint() != QLayout::SetFixedSize) {
            const QSize wanted = fitted ? window->sizeHint() : size * (TextSize::factor() / before);
            window->resize(wanted.expandedTo(window->minimumSizeHint()).boundedTo(TextSize::roomOnScreen(window)));
        }
        if (window->isVisible())
            Placement::keepOnScreen(window);
    }
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

void TextSize::addMenu(QMainWindow *window)
{
    QMenu *menu = window->menuBar()->addMenu(QStringLiteral("表示(&V)"));
    menu->setObjectName(QStringLiteral("mnuView"));
    auto *sizes = new QActionGroup(menu);
    for (const auto &[name, caption, percent] : {std::tuple {u"mnuSize100", u"文字の大きさ：標準(&1)", Standard},
             {u"mnuSize150", u"文字の大きさ：大(&2)", Large}, {u"mnuSize200", u"文字の大きさ：特大(&3)", ExtraLarge}}) {
        QAction *item = menu->addAction(QString::fromUtf16(caption));
        item->setObjectName(QString::fromUtf16(name));
        item->setCheckable(true);
        item->setData(percent);
        sizes->addAction(item);
        QObject::connect(item, &QAction::triggered, menu, [level = percent] { choose(level); });
    }
    const auto check = [sizes] {
        for (QAction *item : sizes->actions())
            item->setChecked(item->data().toInt() == percent());
    };
    check();
    followSize(menu, check);

    // Ctrl with plus and minus step the size up and down as in a browser;
    // plus is Shift+; on a Japanese keyboard and Shift+= on others, so both
    // keys count unshifted too.
    QList<QAction *> keys {sizes->actions().first()};
    keys.first()->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    const QList<QKeySequence> plus {QKeySequence(Qt::CTRL | Qt::Key_Semicolon),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Semicolon), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus),
        QKeySequence(Qt::CTRL | Qt::Key_Equal)};
    for (const auto &[name, bindings, step] :
        {std::tuple {u"sizeLarger", QKeySequence::keyBindings(QKeySequence::ZoomIn) + plus, &larger},
            {u"sizeSmaller", QKeySequence::keyBindings(QKeySequence::ZoomOut), &smaller}}) {
        auto *item = new QAction(window);
        item->setObjectName(QString::fromUtf16(name));
        item->setShortcuts(bindings);
        window->addAction(item);
        QObject::connect(item, &QAction::triggered, window, [next = step] { choose(next(percent())); });
        keys.append(item);
    }
    for (QAction *key : std::as_const(keys))
        key->setShortcutContext(Qt::ApplicationShortcut);
    // A dialog or a message box open over the window would shadow the keys:
    // each is given them as it shows.
    Widgets::filterEvents(qApp, window, [keys](QObject *target, QEvent *event) {
        auto *shown
            = event->type() == QEvent::Show && target->isWidgetType() ? static_cast<QWidget *>(target) : nullptr;
        if (shown && shown->isWindow() && shown->isModal())
            shown->addActions(keys);
        return false;
    });
    Widgets::keepMenuTextsWhole(menu);
}

void TextSize::follow(QWidget *window, std::function<void()> relayout)
{
    growSpacing(window, 1);
    relayout();
    followSize(window, std::move(relayout));
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
