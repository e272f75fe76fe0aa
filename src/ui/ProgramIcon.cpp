#include "ui/ProgramIcon.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <array>

QIcon programIcon()
{
    // Rendered here rather than through the SVG icon plugin, so the icon does
    // not depend on a plugin being installed.
    QSvgRenderer renderer(QStringLiteral(":/harovan/harovan.svg"));
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    constexpr std::array sizes {16, 22, 24, 32, 48, 64, 128, 256};
    for (const int size : sizes) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

void applyProgramIcon()
{
    QGuiApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("harovan"));
}
