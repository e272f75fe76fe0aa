#include "core/AtariList.h"

#include "core/FileErrorText.h"

#include <QDir>

namespace {

// A field as spreadsheets read it: quoted when it holds a separator, a quote
// or a line break. Text from a data file that a spreadsheet would run as a
// formula is kept as text by a leading apostrophe; Japanese spreadsheets take
// the full-width signs for formulas too.
QString csvField(QString text)
{
    if (!text.isEmpty() && QStringLiteral("=+-@\t\r＝＋－＠").contains(text.front()))
        text.prepend(u'\'');
    if (text.contains(u',') || text.contains(u'"') || text.contains(u'\r') || text.contains(u'\n'))
        return u'"' + text.replace(u'"', QStringLiteral("\"\"")) + u'"';
    return text;
}

// A card number as a text formula, ="000037": spreadsheets (LibreOffice Calc
// and Excel alike) read a bare 000037 as the number 37, and an apostrophe
// before it stays visible in Calc.
QString csvTextField(const QString &text)
{
    QString formula = QStringLiteral("=\"") + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
    return u'"' + formula.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

QDebug AtariList::operator<<(QDebug debug, const Row &row)
{
    return modNengajo::debugFields(debug, "Row", row.intOrder, row.strNumber, row.strResult, row.strSyouhin,
        row.intToukyu, row.strKoukan, row.strSender, row.id);
}

QString AtariList::ResultText(qint16 intToukyu)
{
    if (intToukyu < 0)
        return DamagedResult;
    if (intToukyu == 0)
        return QStringLiteral("はずれ");
    return modNengajo::FullWidthDigits(intToukyu) + QStringLiteral("等");
}

QString AtariList::SyouhinText(const QString &strSyouhin)
{
    QStringList items = strSyouhin.split(modNengajo::CrLf);
    items.removeAll(QString());
    if (items.size() <= 1)
        return items.value(0);
    return items.join(u'／') + QStringLiteral("（いずれか1点）");
}

QString AtariList::TypeYearText(const WinningData &data)
{
    return QStringLiteral("【") + data.strType + u' ' + modNengajo::EraYearText(data.strYear)
        + QStringLiteral("年度】");
}

QString AtariList::TotalsText(const QMap<qint16, qint16> &perClass, qint64 total)
{
    QMap<qint16, qint64> wide;
    for (const auto &[toukyu, count] : perClass.asKeyValueRange())
        wide.insert(toukyu, count);
    return TotalsText(wide, total);
}

QString AtariList::TotalsText(const QMap<qint16, qint64> &perClass, qint64 total)
{
    QStringList parts;
    for (const auto &[toukyu, count] : perClass.asKeyValueRange())
        parts.append(ResultText(toukyu) + u' ' + QString::number(count) + u'枚');
    parts.append(QStringLiteral("合計 ") + QString::number(total) + u'枚');
    return parts.join(u'　');
}

AtariList::Row AtariList::MakeRow(const CheckRecord &record, qsizetype index, const WinningData &data)
{
    const CheckedCard &card = record.cards().at(index);
    Row row {index + 1, card.strNumber, ResultText(card.intToukyu), QString(), card.intToukyu, {}, {}, 0};
    if (card.intToukyu > 0)
        row.strSyouhin = SyouhinText(data.prizeClass(card.intToukyu).strSyouhin);
    return row;
}

QString AtariList::KoukanText(const QDate &exchangedOn)
{
    return exchangedOn.isValid() ? QStringLiteral("済") : QString();
}

QByteArray AtariList::CsvBytes(const QList<Row> &rows, const std::function<bool(qsizetype, qsizetype)> &progress)
{
    QByteArray bytes
        = QByteArray("\xEF\xBB\xBF") + (QStringLiteral("順番,番号,等級,賞品,引換,差出人") + modNengajo::CrLf).toUtf8();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (progress && !progress(i, rows.size()))
            return {};
        const Row &row = rows.at(i);
        // Row by row, so that long goods are never held twice over in full.
        bytes += (QString::number(row.intOrder) + u',' + csvTextField(row.strNumber) + u',' + csvField(row.strResult)
            + u',' + csvField(row.strSyouhin) + u',' + csvField(row.strKoukan) + u',' + csvField(row.strSender)
            + modNengajo::CrLf)
                     .toUtf8();
    }
    if (progress && !progress(rows.size(), rows.size()))
        return {};
    return bytes;
}

Outcome<> AtariList::SaveFile(const QString &path, const QByteArray &bytes)
{
    const QString reason = FileErrorText::text(platform::writeFile(path, bytes));
    if (reason.isEmpty())
        return {};
    return {Ended::Failed,
        QStringLiteral("ファイル \"") + QDir::toNativeSeparators(path) + QStringLiteral("\" に保存できませんでした。")
            + modNengajo::CrLf + reason};
}
