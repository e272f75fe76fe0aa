// startup_book FOLDER: a book of won cards (FOLDER/atari.db) with two cards
// of a draw whose exchange ends in 11 days, so that harovan --remind started
// in FOLDER finds them due.
#include "core/AtariBook.h"

#include <QCoreApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    AtariBook book(QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("atari.db")));
    const AtariDraw draw {
        QStringLiteral("年賀状"), QStringLiteral("令和8"), QStringLiteral("a.xml"), QDate::currentDate().addDays(11)};
    const bool added = book.add(draw, QStringLiteral("123456"), 1, QStringLiteral("現金")) == AtariBook::Added::Added
        && book.add(draw, QStringLiteral("****73"), 3, QStringLiteral("切手")) == AtariBook::Added::Added;
    return added ? 0 : 1;
}
