// Published results pasted into the data editor: reading a whole MiB of
// text, the most a paste reads, in the shapes a user may paste.

#include "benchsupport.h"
#include "core/ResultsText.h"

namespace {

// Text of the kind the argument names, one MiB of UTF-8 or a little more.
QString pastedText(int kind)
{
    const QString table = QStringLiteral(
        "令和8年用お年玉付年賀はがき 当せん番号\n抽せん日：2026年1月19日（月）\n等級\t当せん番号\t賞品\t当せん本数\n"
        "1等\t各組共通 455756\t現金30万円\t789本\n\t\tEJOICAセレクトギフト（電子マネー）31万円分\n"
        "2等\t各組共通 下4けた 5037\t賞品カタログ掲載の賞品（67点の中から1点）\t78,900本\n"
        "3等\t各組共通 下2けた 73、44、84\tお年玉切手シート\t(100本に3本)\n"
        "賞品の引換期間：2026年1月20日（火）～7月21日（火）\n");
    const QString prose = QStringLiteral(
        "年賀はがきの抽せん会が開かれ、1等は100万本に1本、現金30万円などが当たります。問い合わせは0120-00-0000まで。");
    QString unit;
    switch (kind) {
    case 0:
        unit = table;
        break;
    case 1:
        unit = prose;
        break;
    case 2: {
        // Bytes of every value, read as UTF-8: replacement characters, controls, stray digits.
        QByteArray bytes;
        for (int i = 0; i < 4096; ++i)
            bytes.append(char((i * 239) % 256));
        unit = QString::fromUtf8(bytes);
        break;
    }
    default:
        // One line: a class, then digits and blanks without end.
        return QStringLiteral("1等 ") + QString(modNengajo::MaxResultsTextBytes, u'7');
    }
    QString text;
    while (text.toUtf8().size() < modNengajo::MaxResultsTextBytes)
        text += unit.repeated(64);
    return text;
}

void BM_ReadResultsText(benchmark::State &state)
{
    const QString text = pastedText(int(state.range(0)));
    const DataEditInput current;
    for (auto _ : state) {
        const ResultsRead read = modNengajo::ReadResultsText(text, current);
        benchmark::DoNotOptimize(read.input.strNumbers[0].size());
    }
    state.counters["chars"] = double(text.size());
}
// 0: a results table over and over, 1: prose without results, 2: binary rubbish, 3: one line of a MiB.
BENCHMARK(BM_ReadResultsText)->ArgName("kind")->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::run(argc, argv);
}
