// Published results pasted into the data editor: the shapes people copy from
// results pages, news reports and blogs, and what is never taken for a
// winning number. The texts are written here in those shapes; the numbers are
// those of the bundled draws.

#include "core/ResultsText.h"
#include "testsupport.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The editor as it opens on a day of 令和9: last year's goods, no numbers.
DataEditInput editorStart()
{
    DataEditInput input;
    input.strType = u"年賀状"_s;
    input.strEra = u"令和"_s;
    input.strYear = u"9"_s;
    input.strSyouhin = {u"去年の1等の賞品"_s, u"去年の2等の賞品"_s, u"お年玉切手シート"_s, {}, {}};
    return input;
}

// 令和8 as every shape below gives it, without goods.
const QStringList Reiwa8Numbers {u"txtNumbers_0=455756"_s, u"txtNumbers_1=5037"_s, u"txtNumbers_2=73 44 84"_s};

using Problems = QList<DataEditProblem>;

} // namespace

class tst_ResultsText : public QObject
{
    Q_OBJECT

private slots:
    // Each shape a results text comes in, and what it fills; every other field stays.
    void read_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("changes");

        // Tables copied from a page.
        QTest::newRow("cells split by tabs, goods on following rows")
            << u"等級\t当せん番号\t賞品\n"
               "1等\t各組共通 455756\t現金30万円\n"
               "\t\tEJOICAセレクトギフト（電子マネー）31万円分\n"
               "\t\t2025年発行特殊切手集と現金20万円\n"
               "2等\t各組共通 下4けた 5037\t賞品カタログ掲載の賞品（67点の中から1点）\n"
               "3等\t各組共通 下2けた 73、44、84\tお年玉切手シート\n"_s
            << Reiwa8Numbers
                + QStringList {u"txtSyouhin_0=現金30万円\nEJOICAセレクトギフト（電子マネー）31万円分\n"
                               "2025年発行特殊切手集と現金20万円"_s,
                    u"txtSyouhin_1=賞品カタログ掲載の賞品（67点の中から1点）"_s, u"txtSyouhin_2=お年玉切手シート"_s};
        QTest::newRow("one cell a line, one number a line")
            << u"1等\n各組共通\n455756\n現金30万円\n2等\n各組共通\n下4ケタ\n5037\n"
               "3等\n各組共通\n下2ケタ\n73\n44\n84\n"_s
            << Reiwa8Numbers + QStringList {u"txtSyouhin_0=現金30万円"_s};
        QTest::newRow("Markdown table, a class's numbers on following rows")
            << u"| 等級 | 当せん番号 | 賞品 |\n|---|---|---|\n| 1等 | 455756 | 現金30万円 |\n"
               "| 2等 | 下4けた 5037 | 賞品カタログ掲載の賞品（67点の中から1点） |\n"
               "| 3等 | 下2けた 73 | お年玉切手シート |\n|  | 44 |  |\n|  | 84 |  |\n"_s
            << Reiwa8Numbers
                + QStringList {
                    u"txtSyouhin_0=現金30万円"_s, u"txtSyouhin_1=賞品カタログ掲載の賞品（67点の中から1点）"_s};
        QTest::newRow("digits spaced out, a short class's numbers in one run")
            << u"1等\t4 5 5 7 5 6\n2等\t5 0 3 7\n3等（下2けた）\t7 3　4 4　8 4\n"_s << Reiwa8Numbers;
        QTest::newRow("several numbers in one cell, by commas and blanks")
            << u"1等 455756\n2等 5037\n3等 73,44,84\n"_s << Reiwa8Numbers;

        // How the classes and their digits are written.
        QTest::newRow("full-width digits, 等級, 6桁, 下N桁, half-width ｹﾀ")
            << u"１等級　6桁　４５５７５６\n２等級　下４ｹﾀ　５０３７\n３等級　下２桁　７３　４４　８４"_s
            << Reiwa8Numbers;
        QTest::newRow("prose of a news report: 下5けた, 「」 and と")
            << u"お年玉付年賀はがきの当せん番号が決まりました。1等は下5けたが「97085」です。"
               "2等は下4けたが「2344」、3等は下2けたが「72」と「74」です。"_s
            << QStringList {u"txtNumbers_0=97085"_s, u"txtNumbers_1=2344"_s, u"txtNumbers_2=72 74"_s};
        QTest::newRow("prose with the goods in brackets, numbers in 「」 one after another")
            << u"1等（賞品：現金30万円など）は「455756」、2等は下4けた「5037」、3等は下2けた「73」「44」「84」でした。"_s
            << Reiwa8Numbers + QStringList {u"txtSyouhin_0=現金30万円など"_s};
        QTest::newRow("direction marks and zero-width spaces inside")
            << u"1等\u200F 455\u200B756\u202C\n\uFEFF2等 5037\n3等 73 44 84"_s << Reiwa8Numbers;
        QTest::newRow("numbers beside counts, odds and prices")
            << u"1等（100万本に1本）455756（各組共通・789本）現金30万円\n"
               "2等 下4けた 5037 (1万本に1本、1/10,000)\n3等 下2けた 73 44 84（100本に3本、2,367,000本）"_s
            << Reiwa8Numbers + QStringList {u"txtSyouhin_0=現金30万円"_s};
        QTest::newRow("a column of counts")
            << u"等級\t当せん番号\t当せん本数\n1等\t455756\t789\n2等\t5037\t78900\n3等\t73 44 84\t236\n"_s
            << Reiwa8Numbers;

        // The year and the days.
        QTest::newRow("令和8年用, the draw and the exchange period")
            << u"令和8年用お年玉付年賀はがき 当せん番号\n抽せん日：2026年1月19日（月）\n"
               "1等 455756\n2等 5037\n3等 73 44 84\n"
               "賞品の引換期間：2026年1月20日（火）～7月21日（火）"_s
            << Reiwa8Numbers
                + QStringList {u"txtYear=8"_s, u"txtDrawDate=2026/1/19"_s, u"txtExchangeFrom=2026/1/20"_s,
                    u"txtExchangeTo=2026/7/21"_s};
        QTest::newRow("2026年 for the cards' year, the days in cells of their own")
            << u"2026年用 年賀はがき\n1等\t455756\n2等\t5037\n3等\t73 44 84\n抽選日\n1月19日\n"
               "引換期限\n7月21日"_s
            << Reiwa8Numbers + QStringList {u"txtYear=8"_s, u"txtDrawDate=2026/1/19"_s, u"txtExchangeTo=2026/7/21"_s};
        QTest::newRow("平成 from the day of the draw told after it")
            << u"2014年1月19日に抽せんが行われました。1等 下5けた 97085、2等 下4けた 2344、3等 下2けた 72 74。"
               "引き換えは2014年7月22日まで。"_s
            << QStringList {u"txtNumbers_0=97085"_s, u"txtNumbers_1=2344"_s, u"txtNumbers_2=72 74"_s, u"cboEra=平成"_s,
                   u"txtYear=26"_s, u"txtDrawDate=2014/1/19"_s, u"txtExchangeTo=2014/7/22"_s};
        QTest::newRow("平成 named, ㍻ as one character")
            << u"㍻26年度版\n1等 97085\n2等 2344\n3等 72 74"_s
            << QStringList {u"txtNumbers_0=97085"_s, u"txtNumbers_1=2344"_s, u"txtNumbers_2=72 74"_s, u"cboEra=平成"_s,
                   u"txtYear=26"_s};
        QTest::newRow("another year's results after the first are not mixed in")
            << u"令和8年用\n1等 455756\n2等 5037\n3等 73 44 84\n令和7年用\n1等 176357\n2等 2832\n3等 86 65 32"_s
            << Reiwa8Numbers + QStringList {u"txtYear=8"_s};
    }
    void read()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, changes);
        const ResultsRead read = modNengajo::ReadResultsText(text, editorStart());
        QCOMPARE(read.problems, Problems {});
        QCOMPARE(read.input, testsupport::editedInput(editorStart(), changes));
        QVERIFY(read.leftOut.isEmpty());
    }

    // What is not taken: a class whose digits disagree, numbers that are
    // counts, classes a data file cannot hold, text without results, rubbish.
    void refused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<Problems>("problems");
        QTest::addColumn<QStringList>("leftOut");

        const auto at = [](int k, const QString &message) { return Problems {{numbersField(k), message}}; };
        QTest::newRow("six digits where the text says 下4けた")
            << u"1等 455756\n2等 下4けた 455756\n3等 73 44 84"_s
            << QStringList {u"txtNumbers_0=455756"_s, u"txtNumbers_2=73 44 84"_s}
            << at(1, u"下4桁とありますが「455756」は6桁のため、読み取りませんでした"_s) << QStringList {};
        QTest::newRow("numbers of different lengths in a class")
            << u"3等 73 444"_s << QStringList {}
            << at(2, u"桁数の違う番号（73、444）があるため、読み取りませんでした"_s) << QStringList {};
        QTest::newRow("more numbers than a class has")
            << u"3等 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30"_s << QStringList {}
            << at(2, u"番号が20より多いため、読み取りませんでした（当選番号の表か確かめてください）"_s)
            << QStringList {};

        // Counts, odds, prices, years and days beside a class are no numbers: nothing is read.
        QTest::newRow("counts, odds, prices, years, days, times, telephone numbers")
            << u"1等（789本）100万本に1本、現金30万円 2026年1月19日 14:00 2026/1/19\n"
               "2等 1万本に1本 1,000本 No.5037 0120-23-2886 16桁\n3等 1/100 ¥300 第79回 令和8年 7月"_s
            << QStringList {} << Problems {} << QStringList {};
        QTest::newRow("text without results, a day of a draw in it")
            << u"今日は抽せん日：2026年1月19日です。令和8年用の年賀はがきは455756枚売れました。"_s << QStringList {}
            << Problems {} << QStringList {};

        // Classes a data file cannot hold: their numbers go nowhere.
        QTest::newRow("特別賞, 特等 with its 組, a sixth class")
            << u"特別賞 下5けた 12345\n1等 455756\n2等 5037\n3等 73 44 84\n特等 01組 654321\n6等 下2けた 12"_s
            << Reiwa8Numbers << Problems {} << QStringList {u"特別賞"_s, u"特等"_s, u"6等"_s};
        QTest::newRow("a sixth class spaced in ways NFKC keeps, told once")
            << u"6\u1680等 12\n6\u1680\u1680等 34\n6\u1680 \u1680等 56"_s << QStringList {} << Problems {}
            << QStringList {u"6等"_s};

        // Hostile text: no hang, no crash, nothing taken.
        QTest::newRow("binary rubbish") <<
            [] {
                QByteArray bytes;
                for (int i = 0; i < 200'000; ++i)
                    bytes.append(char((i * 7919) % 256));
                return QString::fromLatin1(bytes) + QString::fromUtf8(bytes);
            }() << QStringList {} << Problems {}
                                        << QStringList {};
        QTest::newRow("a line of 100,000 digits after a class")
            << u"1等 "_s + QString(100'000, u'7') << QStringList {} << Problems {} << QStringList {};
        QTest::newRow("100,000 blanks between a class and its number")
            << u"1等"_s + QString(100'000, u' ') + u"1 "_s << QStringList {} << Problems {} << QStringList {};
        QTest::newRow("right-to-left text and lone surrogates")
            << u"\u202E1等\u202D \xD800 שלום \xDC00 مرحبا"_s << QStringList {} << Problems {} << QStringList {};
    }
    void refused()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, changes);
        QFETCH(Problems, problems);
        QFETCH(QStringList, leftOut);
        const ResultsRead read = modNengajo::ReadResultsText(text, editorStart());
        QCOMPARE(read.input, testsupport::editedInput(editorStart(), changes));
        QCOMPARE(read.problems, problems);
        QCOMPARE(read.leftOut, leftOut);
    }

    // A day without its year is in the year the editor holds: only a year it
    // takes, whatever digits a data file or the user put there.
    void yearOfTheEditor_data()
    {
        QTest::addColumn<QString>("era");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("drawDate");
        QTest::newRow("令和9") << u"令和"_s << u"9"_s << u"2027/1/19"_s;
        QTest::newRow("平成31, blanks around") << u"平成"_s << u" 31 "_s << u"2019/1/19"_s;
        QTest::newRow("100") << u"令和"_s << u"100"_s << QString();
        QTest::newRow("beyond a 32-bit year") << u"令和"_s << u"2147483000"_s << QString();
        QTest::newRow("0") << u"令和"_s << u"0"_s << QString();
        QTest::newRow("none") << u"令和"_s << QString() << QString();
    }
    void yearOfTheEditor()
    {
        QFETCH(QString, era);
        QFETCH(QString, year);
        DataEditInput current = editorStart();
        current.strEra = era;
        current.strYear = year;
        const ResultsRead read = modNengajo::ReadResultsText(u"1等 455756\n抽せん日 1月19日"_s, current);
        QTEST(read.input.strDrawDate, "drawDate");
    }

    // The line under the button: the classes read, those refused, those left out, a text cut.
    void summary_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("summary");
        QTest::newRow("１等から３等") << u"1等 455756\n2等 5037\n3等 73 44 84"_s
                                      << u"１等から３等を読み取りました。番号を確かめてから保存してください。"_s;
        QTest::newRow("two, one refused")
            << u"1等 455756\n2等 5037\n3等 下2けた 123"_s
            << u"１等と２等を読み取りました。３等は読み取れませんでした（理由は欄の下にあります）。"
               "番号を確かめてから保存してください。"_s;
        QTest::newRow("left out") << u"特別賞 12345\n1等 455756\n3等 73"_s
                                  << u"１等と３等を読み取りました。番号を確かめてから保存してください。"
                                     "特別賞は当選番号データに入れられないため、読み取りませんでした。"_s;
        QTest::newRow("only the first MiB read")
            << u"1等 455756\n"_s + QString(modNengajo::MaxResultsTextBytes / 3, u'あ')
            << u"１等を読み取りました。番号を確かめてから保存してください。"
               "貼り付けた文章が長いため、初めの1MBだけを読みました。"_s;
        QTest::newRow("nothing past the first MiB")
            << QString(modNengajo::MaxResultsTextBytes / 3, u'あ') + u"1等 455756\n"_s
            << u"当選番号を読み取れませんでした。発表された当選番号の表や記事をコピーしてから、"
               "もう一度押してください。貼り付けた文章が長いため、初めの1MBだけを読みました。"_s;
    }
    void summary()
    {
        QFETCH(QString, text);
        QFETCH(QString, summary);
        QCOMPARE(modNengajo::ResultsSummary(modNengajo::ReadResultsText(text, editorStart())), summary);
    }
};

QTEST_GUILESS_MAIN(tst_ResultsText)
#include "tst_resultstext.moc"
