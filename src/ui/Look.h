#pragma once

#include <QPalette>
#include <QWidget>

// The colours every window of the program shares.
namespace Look {

inline constexpr QRgb WindowBackground = 0xC0C0FF;
inline constexpr QRgb ButtonBackground = 0xE0E0E0;
// A web address under the mouse, and at rest.
inline constexpr QRgb LinkHot = 0x0000FF;
inline constexpr QRgb LinkCold = 0x404040;
// Greyed text: plainly lighter than black, still readable (at least 3:1) on
// the window's light blue and on the light grey of buttons and frozen boxes.
inline constexpr QRgb DisabledText = 0x666666;
// A prize-exchange deadline that is near, today or past.
inline constexpr QRgb Urgent = 0xC00000;
// The guidance line while it announces a hit: white on deep red, far from
// the grey of every other message in brightness as well as in hue, so it is
// seen without the sound and without telling colours apart.
inline constexpr QRgb AtariBackground = 0xB00020;
inline constexpr QRgb AtariText = 0xFFFFFF;

inline void setColour(QWidget *widget, QPalette::ColorRole role, QRgb colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, QColor(colour));
    widget->setPalette(palette);
}

// A widget that paints its whole area in colour.
inline void fillBackground(QWidget *widget, QRgb colour)
{
    widget->setAutoFillBackground(true);
    setColour(widget, QPalette::Window, colour);
}

// The window's light blue, and greyed texts that stay readable on it; the
// controls of the window inherit both.
inline void paintWindowBackground(QWidget *window)
{
    fillBackground(window, WindowBackground);
    QPalette palette = window->palette();
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, QColor(DisabledText));
    window->setPalette(palette);
}

} // namespace Look
