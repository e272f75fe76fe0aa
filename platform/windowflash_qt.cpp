#include "platform/windowflash.h"

#include <QGuiApplication>
#include <QVariant>
#include <QWidget>

#ifdef HAROVAN_HAVE_X11
#include <X11/Xlib.h>
#endif

namespace platform {

namespace {

// The window's own title while its caption is inverted.
constexpr char NormalTitleProperty[] = "harovanNormalTitle";

// The program busy-waits between inversions, so the request to change the
// title must leave for the window manager now, not at the next event loop turn.
void flushWindowSystem()
{
#ifdef HAROVAN_HAVE_X11
    if (auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        if (Display *display = x11->display())
            XFlush(display);
    }
#endif
}

} // namespace

void TitleFlash::invert(QWidget *window, const QString &invertedTitle)
{
    if (!window)
        return;
    QWidget *top = window->window();
    if (top->property(NormalTitleProperty).isValid()) {
        restore(top);
        return;
    }
    top->setProperty(NormalTitleProperty, top->windowTitle());
    top->setWindowTitle(invertedTitle);
    flushWindowSystem();
}

void TitleFlash::restore(QWidget *window)
{
    if (!window)
        return;
    QWidget *top = window->window();
    const QVariant normal = top->property(NormalTitleProperty);
    if (!normal.isValid())
        return;
    top->setWindowTitle(normal.toString());
    top->setProperty(NormalTitleProperty, QVariant());
    flushWindowSystem();
}

} // namespace platform
