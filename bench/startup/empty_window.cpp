// The yardstick for Harovan's start-up: a Qt Widgets program that shows one
// main window with a menu bar built as Harovan builds its own, and nothing else.
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Empty"));
    const auto add = [&window](QMenu *menu, const QString &caption) {
        QObject::connect(menu->addAction(caption), &QAction::triggered, &window, [] {});
    };
    QMenu *menu = window.menuBar()->addMenu(QStringLiteral("メニュー(&M)"));
    add(menu, QStringLiteral("はがきの種類を選択(&F)..."));
    add(menu, QStringLiteral("当選番号データのダウンロード(&D)..."));
    menu->addSeparator();
    add(menu, QStringLiteral("当選番号一覧を表示(&T)"));
    add(menu, QStringLiteral("当たったはがきの一覧(&L)"));
    add(menu, QStringLiteral("チェック枚数のクリア(&C)"));
    menu->addSeparator();
    add(menu, QStringLiteral("終了(&X)"));
    QMenu *help = window.menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    add(help, QStringLiteral("ヘルプを表示(&H)..."));
    help->addSeparator();
    add(help, QStringLiteral("バージョン情報(&V)..."));
    window.resize(344, 246);
    window.show();
    return QApplication::exec();
}
