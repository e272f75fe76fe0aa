// harovan-render-icon SVG FOLDER [PNG_FOLDER]: the program's icon at every
// size window systems ask for, drawn once when the program is built so that
// the program need not draw it each time it starts. Each size is written as
// harovan-<size>.argb: its pixels as QImage::Format_ARGB32_Premultiplied holds
// them in memory, row after row, so the program uses them without decoding.
// With PNG_FOLDER, also harovan-<size>.png at the sizes of a Windows icon.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3 && arguments.size() != 4) {
        std::fprintf(stderr, "usage: harovan-render-icon SVG FOLDER [PNG_FOLDER]\n");
        return 2;
    }
    QSvgRenderer renderer(arguments.at(1));
    if (!renderer.isValid() || !QDir().mkpath(arguments.at(2))) {
        std::fprintf(stderr, "harovan-render-icon: cannot read %s or write to %s\n", qPrintable(arguments.at(1)),
            qPrintable(arguments.at(2)));
        return 1;
    }
    const auto draw = [&renderer](int size) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        return image;
    };
    if (arguments.size() == 4) {
        for (const int size : {16, 20, 24, 32, 40, 48, 64, 256}) {
            const QString path = arguments.at(3) + QStringLiteral("/harovan-%1.png").arg(size);
            if (!QDir().mkpath(arguments.at(3)) || !draw(size).save(path, "PNG")) {
                std::fprintf(stderr, "harovan-render-icon: cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
    }
    for (const int size : {16, 22, 24, 32, 48, 64, 128}) {
        const QImage image = draw(size);
        const QString path = arguments.at(2) + QStringLiteral("/harovan-%1.argb").arg(size);
        QFile file(path);
        const auto bytes = qsizetype(image.bytesPerLine()) * image.height();
        if (image.bytesPerLine() != size * 4 || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(reinterpret_cast<const char *>(image.constBits()), bytes) != bytes) {
            std::fprintf(stderr, "harovan-render-icon: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
