#include "ui/ProgramIcon.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QResource>

#include <array>

QIcon programIcon()
{
    // Drawn from the SVG when the program was built, and kept as the pixels
    // themselves: nothing to draw or decode here.
    QIcon icon;
    constexpr std::array sizes {16, 22, 24, 32, 48, 64, 128};
    for (const int size : sizes) {
        const QResource pixels(QStringLiteral(":/harovan/harovan-%1.argb").arg(size));
        if (pixels.compressionAlgorithm() != QResource::NoCompression || pixels.size() != qint64(size) * size * 4)
            continue;
        const QImage image(pixels.data(), size, size, size * 4, QImage::Format_ARGB32_Premultiplied);
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

void applyProgramIcon()
{
    QGuiApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("harovan"));
}
