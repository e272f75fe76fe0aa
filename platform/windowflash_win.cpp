#include "platform/windowflash.h"

#include <QVariant>
#include <QWidget>

#include <windows.h>

namespace platform {

namespace {

// Set while the window's caption is shown inverted.
constexpr char InvertedProperty[] = "harovanCaptionInverted";

void flash(QWidget *top, DWORD flags)
{
    FLASHWINFO info {};
    info.cbSize = sizeof info;
    info.hwnd = reinterpret_cast<HWND>(top->winId());
    info.dwFlags = flags;
    info.uCount = 1;
    ::FlashWindowEx(&info);
}

} // namespace

// FlashWindowEx inverts the caption itself: its text stays.
void TitleFlash::invert(QWidget *window, const QString &)
{
    if (!window)
        return;
    QWidget *top = window->window();
    const bool inverted = top->property(InvertedProperty).toBool();
    // FLASHW_STOP puts the caption back as the window's state has it.
    flash(top, inverted ? FLASHW_STOP : FLASHW_CAPTION);
    top->setProperty(InvertedProperty, inverted ? QVariant() : QVariant(true));
}

void TitleFlash::restore(QWidget *window)
{
    if (!window)
        return;
    QWidget *top = window->window();
    if (!top->property(InvertedProperty).isValid())
        return;
    flash(top, FLASHW_STOP);
    top->setProperty(InvertedProperty, QVariant());
}

} // namespace platform
