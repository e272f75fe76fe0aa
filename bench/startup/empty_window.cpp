// The yardstick for Harovan's start-up: a Qt Widgets program that shows one
// empty main window and does nothing else.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Empty"));
    window.resize(344, 246);
    window.show();
    return QApplication::exec();
}
