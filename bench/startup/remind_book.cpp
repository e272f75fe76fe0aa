// startup_remind_book FOLDER: a book of won cards (FOLDER/atari.db) with two cards
// of a draw whose exchange ends in 11 days, so that harovan --remind started
// in FOLDER finds them due.
// startup_book FOLDER COUNT: a book of COUNT six-digit cards of a draw whose
// exchange ended long ago, half of them exchanged: the start-up with a book
// asks nothing.
#include "core/AtariBook.h"

#include <QCoreApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2 && argc != 3)
        return 2;
    AtariBook book(QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("atari.db")));
    if (argc == 3) {
        const AtariDraw old {
            QStringLiteral("年賀状"), QStringLiteral("令和6"), QStringLiteral("b.xml"), QDate(2024, 7, 22)};
        const int count = QString::fromLocal8Bit(argv[2]).toInt();
        QList<qint64> exchanged;
        for (int i = 0; i < count; ++i) {
            qint64 id = 0;
            if (book.add(old, QString::number(100000 + i), static_cast<qint16>(1 + i % 3), QStringLiteral("切手"),
                    QDateTime::currentDateTime(), &id)
                != AtariBook::Added::Added)
                return 1;
            if (i % 2 == 0)
                exchanged.append(id);
        }
        return book.setExchanged(exchanged, QDate(2024, 3, 1)) ? 0 : 1;
    }
    const AtariDraw draw {
        QStringLiteral("年賀状"), QStringLiteral("令和8"), QStringLiteral("a.xml"), QDate::currentDate().addDays(11)};
    const bool added = book.add(draw, QStringLiteral("123456"), 1, QStringLiteral("現金")) == AtariBook::Added::Added
        && book.add(draw, QStringLiteral("****73"), 3, QStringLiteral("切手")) == AtariBook::Added::Added;
    return added ? 0 : 1;
}
