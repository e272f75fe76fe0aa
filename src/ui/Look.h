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

inline void setColour(QWidget *widget, QPalette::ColorRole role, QRgb colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, QColor(colour));
    widget->setPalette(palette);
}

inline void paintWindowBackground(QWidget *window)
{
    window->setAutoFillBackground(true);
    setColour(window, QPalette::Window, WindowBackground);
}

} // namespace Look
