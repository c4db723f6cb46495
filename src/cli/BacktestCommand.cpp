// peridon-cli backtest: how each prediction method would have scored on the
// past draws, as tables or as JSON.
#include "cli/Commands.h"
#include "core/prediction/Backtest.h"

#include <QLocale>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace peridon::cli {

namespace {

// Counts, means and expectations are quotients of whole numbers rounded
// once, so their shortest round-trip form is exact and the same everywhere
// (0.224, 1.2). Tail probabilities carry the rounding of a long sum, so
// they are given to six significant digits, which that rounding never
// reaches.
QString exactNumber(double x) {
    return QString::number(x, 'f', QLocale::FloatingPointShortest);
}
QString probability(double p) {
    return QString::number(p, 'g', 6);
}

// "all", or whole numbers 0..10 separated by commas; sorted, each once.
std::optional<std::vector<int>> parseReflects(const QString& text) {
    std::vector<int> out;
    if (text == u"all") {
        for (int r = 0; r < kReflectCounts; ++r)
            out.push_back(r);
        return out;
    }
    for (const QString& part : text.split(u',')) {
        bool ok = false;
        const int r = part.trimmed().toInt(&ok);
        if (!ok || r < 0 || r >= kReflectCounts)
            return std::nullopt;
        out.push_back(r);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

QByteArray toJson(const BacktestRun& run, const std::vector<ReflectScore>& scores) {
    QString s = u"{\"from\":%1,\"to\":%2,\"draws\":%3,\"tests\":%4,\"results\":["_s.arg(run.from)
                    .arg(run.to)
                    .arg(run.draws.size())
                    .arg(kBacktestTests);
    for (std::size_t i = 0; i < scores.size(); ++i) {
        if (i > 0)
            s += u',';
        s += u"{\"reflect\":%1,\"methods\":["_s.arg(scores[i].reflect);
        for (int m = 0; m < kMethodCount; ++m) {
            const MethodScore& ms = scores[i].methods[std::size_t(m)];
            if (m > 0)
                s += u',';
            s += u"{\"method\":\""_s + backtestMethodNames()[std::size_t(m)] + u"\""_s;
            s += u",\"mean_digits\":"_s + exactNumber(ms.meanDigits);
            s += u",\"digit_hits\":"_s + QString::number(ms.digitHits);
            s += u",\"digit_expected\":"_s + exactNumber(ms.digitExpected);
            s += u",\"box_hits\":"_s + QString::number(ms.boxHits);
            s += u",\"box_expected\":"_s + exactNumber(ms.boxExpected);
            s += u",\"box_p\":"_s + probability(ms.boxP);
            if (m == 0) {
                s += u",\"straight_hits\":"_s + QString::number(ms.straightHits);
                s += u",\"straight_expected\":"_s + exactNumber(ms.straightExpected);
                s += u",\"straight_p\":"_s + probability(ms.straightP);
            }
            s += u",\"box_p_adjusted\":"_s + probability(ms.boxPAdjusted);
            if (m == 0)
                s += u",\"straight_p_adjusted\":"_s + probability(ms.straightPAdjusted);
            s += u",\"box_tickets\":"_s + QString::number(ms.boxTickets);
            s += u",\"box_return\":"_s + QString::number(ms.boxReturn);
            if (m == 0) {
                s += u",\"straight_tickets\":"_s + QString::number(ms.straightTickets);
                s += u",\"straight_return\":"_s + QString::number(ms.straightReturn);
            }
            s += u'}';
        }
        s += u"]}"_s;
    }
    s += u"]}\n"_s;
    return s.toUtf8();
}

// Columns padded to a width in terminal cells, a Japanese character taking
// two.
int cellWidth(const QString& s) {
    int w = 0;
    for (const QChar c : s)
        w += c.unicode() >= 0x1100 ? 2 : 1;
    return w;
}
QString padLeft(const QString& s, int width) {
    return QString(qMax(0, width - cellWidth(s)), u' ') + s;
}
QString padRight(const QString& s, int width) {
    return s + QString(qMax(0, width - cellWidth(s)), u' ');
}

QString fixed(double x, int decimals) {
    return QString::number(x, 'f', decimals);
}

QByteArray toText(const BacktestRun& run, const std::vector<ReflectScore>& scores) {
    QString s =
        u"第%1回～第%2回の %3 回で検証（期待値と p値 は、数字が一様かつ独立に出るとした場合）\n"_s
            .arg(run.from)
            .arg(run.to)
            .arg(run.draws.size());
    s += u"補正p値 は %1 通りの検定の数に合わせた Holm の補正、回収率 は理論上の賞金"
         "（ボックス 15,000円・30,000円、ストレート 90,000円）での 払戻÷購入額（偶然なら %2 %）\n"_s
             .arg(kBacktestTests)
             .arg(kExpectedReturnPercent);
    const QString rate = u"回収率(期待%1%)"_s.arg(kExpectedReturnPercent);
    const QStringList heads{
        u"手法"_s,   u"平均数字数"_s, u"数字的中"_s, u"期待値"_s, u"ボックス的中"_s,
        u"期待値"_s, u"p値"_s,        u"補正p値"_s,  rate,        u"ストレート的中"_s,
        u"期待値"_s, u"p値"_s,        u"補正p値"_s,  rate};
    const int widths[] = {14, 12, 10, 10, 14, 10, 10, 10, 17, 16, 10, 10, 10, 17};
    for (const ReflectScore& rs : scores) {
        s += u"\n反映数 %1\n"_s.arg(rs.reflect);
        for (int c = 0; c < heads.size(); ++c)
            s += c == 0 ? padRight(heads[c], widths[c]) : padLeft(heads[c], widths[c]);
        s += u'\n';
        for (int m = 0; m < kMethodCount; ++m) {
            const MethodScore& ms = rs.methods[std::size_t(m)];
            QStringList cells{backtestMethodNames()[std::size_t(m)],
                              fixed(ms.meanDigits, 2),
                              QString::number(ms.digitHits),
                              fixed(ms.digitExpected, 1),
                              QString::number(ms.boxHits),
                              fixed(ms.boxExpected, 2),
                              formatPValue(ms.boxP),
                              formatPValue(ms.boxPAdjusted),
                              formatReturnRate(ms.boxReturn, ms.boxTickets)};
            if (m == 0) {
                cells << QString::number(ms.straightHits) << fixed(ms.straightExpected, 2)
                      << formatPValue(ms.straightP) << formatPValue(ms.straightPAdjusted)
                      << formatReturnRate(ms.straightReturn, ms.straightTickets);
            }
            for (int c = 0; c < cells.size(); ++c)
                s += c == 0 ? padRight(cells[c], widths[c]) : padLeft(cells[c], widths[c]);
            s += u'\n';
        }
    }
    return s.toUtf8();
}

} // namespace

int cmdBacktest(const Args& a) {
    if (!a.positional.isEmpty())
        return usage(u"余分な引数があります: %1"_s.arg(a.positional.join(u' ')));
    QString problem;
    const auto from = a.integer(u"--from"_s, 1, kMaxDrawNo, problem);
    if (!problem.isEmpty())
        return usage(problem);
    const auto to = a.integer(u"--to"_s, 1, kMaxDrawNo, problem);
    if (!problem.isEmpty())
        return usage(problem);
    const auto reflects = parseReflects(a.has(u"--reflect"_s) ? a.value(u"--reflect"_s) : u"all"_s);
    if (!reflects)
        return usage(u"--reflect の値が正しくありません（0～10 をカンマで区切るか all）: %1"_s.arg(
            a.value(u"--reflect"_s)));

    Database db(a.connection(), Database::Mode::OpenExisting);
    const DrawHistory history = db.readHistory();
    const BacktestRun run = runBacktest(history, int(from.value_or(kDefaultBacktestFrom)),
                                        to ? std::optional<int>(int(*to)) : std::nullopt);
    const std::vector<ReflectScore> scores = scoreBacktest(run, *reflects);
    writeOut(a.has(u"--json"_s) ? toJson(run, scores) : toText(run, scores));
    return 0;
}

} // namespace peridon::cli
