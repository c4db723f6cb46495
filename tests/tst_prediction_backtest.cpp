// How the prediction methods would have scored: hand-worked histories, the
// exact tail probabilities, and the one-pass backtest against freshly opened
// prediction windows draw by draw.
#include "core/history/StartupStats.h"
#include "core/prediction/Backtest.h"
#include "core/prediction/PredictionSheets.h"
#include "core/store/Generator.h"
#include "support/TestHistory.h"
#include "support/WorkingDirectory.h"

#include <QTest>

#include <cmath>
#include <random>

using namespace Qt::StringLiterals;
using namespace peridon;

namespace {

// One method's score in a compact form for comparisons.
QString describe(const MethodScore& s, bool straight) {
    QString out = u"mean=%1 digit=%2/%3 box=%4/%5 p=%6"_s.arg(s.meanDigits)
                      .arg(s.digitHits)
                      .arg(s.digitExpected)
                      .arg(s.boxHits)
                      .arg(s.boxExpected)
                      .arg(s.boxP, 0, 'g', 9);
    if (straight) {
        out += u" straight=%1/%2 p=%3"_s.arg(s.straightHits)
                   .arg(s.straightExpected)
                   .arg(s.straightP, 0, 'g', 9);
    }
    return out;
}

// The distinct digits in a grid's digit cells (columns 2-4, rows 2 to the
// last), read from the sheet as the window shows it.
DigitSet cellDigits(const Sheet& s, int firstCol, int lastCol) {
    DigitSet set = 0;
    for (int row = 2; row <= s.rows(); ++row) {
        for (int col = firstCol; col <= lastCol; ++col) {
            const QString t = s.text(col, row);
            if (!t.isEmpty())
                set |= DigitSet(1u << t.toInt());
        }
    }
    return set;
}

// P(X >= observed) by the plain dynamic programme over every count.
double fullTail(const std::vector<double>& p, int observed) {
    std::vector<double> prob(p.size() + 1, 0.0);
    prob[0] = 1.0;
    for (std::size_t j = 0; j < p.size(); ++j) {
        for (std::size_t c = j + 1; c > 0; --c)
            prob[c] = prob[c] * (1 - p[j]) + prob[c - 1] * p[j];
        prob[0] *= 1 - p[j];
    }
    double tail = 0;
    for (std::size_t c = std::size_t(std::max(observed, 0)); c < prob.size(); ++c)
        tail += prob[c];
    return tail;
}

bool close(double a, double b, double relative) {
    return std::abs(a - b) <= relative * std::max(std::abs(a), std::abs(b));
}

} // namespace

class TestPredictionBacktest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryWorkingDirectory(); }
    void handWorked_data();
    void handWorked();
    void evaluatedDraws_data();
    void evaluatedDraws();
    void tail_data();
    void tail();
    void tailMatchesFullProgramme_data();
    void tailMatchesFullProgramme();
    void onePassEqualsFreshWindows_data();
    void onePassEqualsFreshWindows();
    void cumulativeHits();
    void holm_data();
    void holm();
    void family();
    void boxTicketsAndPrizes();
    void ticketsAndReturns_data();
    void ticketsAndReturns();
    void zScores();
    void pValueText_data();
    void pValueText();
};

void TestPredictionBacktest::handWorked_data() {
    QTest::addColumn<QString>("history");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("reflect");
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("expected");
    // Elimination digits shown before draws 1..5 (reflect 0): none, {1 2},
    // {5 4 1} (2 is the fourth placement, beyond the grid), {8 7 4 6},
    // {1 9 7 8 4}. Digits shown 0+2+3+4+5 = 14 over 5 draws.
    QTest::newRow("fewer than 8 draws, elimination")
        << "123 456 789 012 345" << 1 << 0 << 1 << "mean=2.8 digit=1/4.2 box=0/0.224 p=1";
    // The last draw lies wholly in {1 9 7 8 4}; a box hit has chance
    // 1 - (0.992 * 0.973 * 0.936 * 0.875).
    QTest::newRow("box hit") << "123 456 789 012 198" << 1 << 0 << 1
                             << "mean=2.8 digit=3/4.2 box=1/0.224 p=0.209488096";
    // Positions count, not distinct digits: 4 4 9 hits three times.
    QTest::newRow("repeated digit, box hit")
        << "123 456 789 012 449" << 1 << 0 << 1 << "mean=2.8 digit=3/4.2 box=1/0.224 p=0.209488096";
    QTest::newRow("repeated digit, one position")
        << "123 456 789 012 455" << 1 << 0 << 1 << "mean=2.8 digit=1/4.2 box=0/0.224 p=1";
    // Nothing can come back after 7 draws yet: the cycle grid stays empty.
    QTest::newRow("fewer than 8 draws, cycle")
        << "123 456 789 012 345" << 1 << 0 << 0 << "mean=0 digit=0/0 box=0/0 p=1 straight=0/0 p=1";
    QTest::newRow("fewer than 8 draws, rapid-fire")
        << "123 456 789 012 345" << 1 << 0 << 2 << "mean=0 digit=0/0 box=0/0 p=1";
    // Draw 3 is invalid: not evaluated, and the rules reading it are
    // skipped. Shown: none, {2 1}, {5 4 1}, {8 7 9 1}, {1 9 7 4 8}.
    QTest::newRow("invalid row") << "123 456 1-1 789 012 345" << 1 << 0 << 1
                                 << "mean=2.8 digit=2/4.2 box=0/0.224 p=1";
    // Draws 2..12 are missing; 0 0 0 of draw 13 comes back after 12 draws
    // in all three positions, so draw 14 is shown {0} in every column.
    QTest::newRow("gap, cycle") << "1:000 13:000 14:000" << 1 << 0 << 0
                                << "mean=0.333333 digit=3/0.3 box=1/0.001 p=0.001 "
                                   "straight=1/0.001 p=0.001";
    // Only rules 0 and 1 find a draw (1 and 8); the others fall in the gap.
    QTest::newRow("gap, elimination")
        << "1:000 13:000 14:000" << 1 << 0 << 1 << "mean=1.33333 digit=0/1.2 box=0/0.016 p=1";
    // Elimination digit 1 is near cycle digit 0 for both combined methods.
    QTest::newRow("gap, rapid-fire")
        << "1:000 13:000 14:000" << 1 << 0 << 2 << "mean=0.333333 digit=3/0.3 box=1/0.001 p=0.001";
    QTest::newRow("gap, one-shot")
        << "1:000 13:000 14:000" << 1 << 0 << 3 << "mean=0.333333 digit=3/0.3 box=1/0.001 p=0.001";
    // One draw further back every rule lands in the gap or before draw 1.
    QTest::newRow("gap, reflect 1, one-shot")
        << "1:000 13:000 14:000" << 1 << 1 << 3 << "mean=0 digit=0/0 box=0/0 p=1";
    // The cycle grid does not depend on the reflected count.
    QTest::newRow("gap, reflect 10, cycle") << "1:000 13:000 14:000" << 1 << 10 << 0
                                            << "mean=0.333333 digit=3/0.3 box=1/0.001 p=0.001 "
                                               "straight=1/0.001 p=0.001";
    QTest::newRow("no draws") << QString() << 1 << 0 << 0
                              << "mean=0 digit=0/0 box=0/0 p=1 straight=0/0 p=1";
}

void TestPredictionBacktest::handWorked() {
    QFETCH(QString, history);
    QFETCH(int, from);
    QFETCH(int, reflect);
    QFETCH(int, method);
    QFETCH(QString, expected);
    const BacktestRun run = runBacktest(test::history(history), from);
    const auto scores = scoreBacktest(run, {reflect});
    QCOMPARE(scores.size(), std::size_t(1));
    QCOMPARE(scores[0].reflect, reflect);
    QCOMPARE(describe(scores[0].methods[std::size_t(method)], method == 0), expected);
}

void TestPredictionBacktest::evaluatedDraws_data() {
    QTest::addColumn<QString>("history");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to"); // -1: the default
    QTest::addColumn<int>("expectedTo");
    QTest::addColumn<QString>("draws");
    QTest::newRow("default range starts at 101") << "123 456 789" << 101 << -1 << 3 << "";
    QTest::newRow("whole history") << "123 456 789" << 1 << -1 << 3 << "1 2 3";
    // The last row is invalid: the range ends at the last valid draw.
    QTest::newRow("invalid rows are skipped") << "123 4-6 789 --9" << 1 << -1 << 3 << "1 3";
    QTest::newRow("gap") << "1:123 5:456 789" << 2 << -1 << 6 << "5 6";
    QTest::newRow("from above to") << "123 456 789" << 3 << 2 << 2 << "";
    QTest::newRow("to beyond the end") << "123 456 789" << 2 << 500 << 500 << "2 3";
    QTest::newRow("one draw") << "123 456 789" << 2 << 2 << 2 << "2";
    QTest::newRow("empty history") << "" << 1 << -1 << 0 << "";
}

void TestPredictionBacktest::evaluatedDraws() {
    QFETCH(QString, history);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, expectedTo);
    QFETCH(QString, draws);
    const BacktestRun run =
        runBacktest(test::history(history), from, to < 0 ? std::nullopt : std::optional<int>(to));
    QCOMPARE(run.from, from);
    QCOMPARE(run.to, expectedTo);
    QStringList numbers;
    for (const BacktestDraw& d : run.draws)
        numbers << QString::number(d.drawNo);
    QCOMPARE(numbers.join(u' '), draws);
}

void TestPredictionBacktest::tail_data() {
    QTest::addColumn<QList<double>>("p");
    QTest::addColumn<int>("observed");
    QTest::addColumn<double>("expected");
    QTest::newRow("nothing observed") << QList<double>{0.2, 0.3} << 0 << 1.0;
    QTest::newRow("no trials") << QList<double>{} << 1 << 0.0;
    QTest::newRow("more than trials") << QList<double>{0.5, 0.5} << 3 << 0.0;
    QTest::newRow("impossible trials") << QList<double>{0.0, 0.0, 0.5} << 2 << 0.0;
    QTest::newRow("certain trials") << QList<double>{1.0, 1.0, 1.0} << 3 << 1.0;
    QTest::newRow("binomial 10, 1/2, at least 8") << QList<double>(10, 0.5) << 8 << 56.0 / 1024.0;
    QTest::newRow("two trials, both") << QList<double>{0.1, 0.2} << 2 << 0.02;
    QTest::newRow("two trials, one or more") << QList<double>{0.1, 0.2} << 1 << 0.28;
    QTest::newRow("with zeros and ones") << QList<double>{0.0, 1.0, 0.5, 0.0} << 2 << 0.5;
}

void TestPredictionBacktest::tail() {
    QFETCH(QList<double>, p);
    QFETCH(int, observed);
    QFETCH(double, expected);
    const std::vector<double> v(p.begin(), p.end());
    QVERIFY2(close(poissonBinomialTail(v, observed), expected, 1e-14),
             qPrintable(QString::number(poissonBinomialTail(v, observed), 'g', 17)));
}

void TestPredictionBacktest::tailMatchesFullProgramme_data() {
    QTest::addColumn<int>("maxDigits");
    QTest::addColumn<double>("sigmas"); // observed = mean + sigmas * sd
    for (const int k : {3, 6, 10}) {
        for (const double s : {-12.0, -2.0, 0.0, 1.5, 4.0, 12.0, 30.0}) {
            QTest::addRow("k<=%d, %+g sd", k, s) << k << s;
        }
    }
}

// Box chances of 3,000 draws (k^3/1000 for random k); the pruned programme
// must agree with the full one far into both tails.
void TestPredictionBacktest::tailMatchesFullProgramme() {
    QFETCH(int, maxDigits);
    QFETCH(double, sigmas);
    std::mt19937_64 rng(42);
    std::vector<double> p;
    double mean = 0;
    double var = 0;
    for (int i = 0; i < 3000; ++i) {
        const int k = int(rng() % std::uint64_t(maxDigits + 1));
        p.push_back(k * k * k / 1000.0);
        mean += p.back();
        var += p.back() * (1 - p.back());
    }
    const int observed = std::max(0, int(std::lround(mean + sigmas * std::sqrt(var))));
    const double full = fullTail(p, observed);
    const double fast = poissonBinomialTail(p, observed);
    QVERIFY(full > 0);
    QVERIFY2(close(fast, full, 1e-11),
             qPrintable(u"%1 %2"_s.arg(fast, 0, 'g', 17).arg(full, 0, 'g', 17)));
}

void TestPredictionBacktest::onePassEqualsFreshWindows_data() {
    QTest::addColumn<int>("seed");
    QTest::addColumn<int>("invalidEvery");
    QTest::addColumn<int>("gapEvery");
    QTest::newRow("gaps and invalid rows") << 7 << 9 << 13;
    QTest::newRow("dense") << 11 << 0 << 0;
    QTest::newRow("many gaps") << 3 << 5 << 4;
}

// For every draw the backtest's digits equal those in the grids of a new
// prediction window over the rows below that draw, for every reflected
// count; the scores then equal those computed from the windows' grids.
void TestPredictionBacktest::onePassEqualsFreshWindows() {
    QFETCH(int, seed);
    QFETCH(int, invalidEvery);
    QFETCH(int, gapEvery);
    GeneratorOptions options;
    options.draws = 150;
    options.seed = std::uint64_t(seed);
    options.invalidEvery = invalidEvery;
    options.gapEvery = gapEvery;
    const DrawHistory history = generateHistory(options);
    const BacktestRun run = runBacktest(history, 1);

    std::vector<DrawRow> below;
    std::size_t next = 0;
    int secondRapidRow = 0;
    int fullOneShot = 0;
    std::array<std::array<int, kMethodCount>, kReflectCounts> boxHits{};
    std::array<std::array<std::vector<double>, kMethodCount>, kReflectCounts> boxChances;
    for (const DrawRow& row : history.rows()) {
        if (!row.valid()) {
            below.push_back(row);
            continue;
        }
        QVERIFY(next < run.draws.size());
        const BacktestDraw& d = run.draws[next++];
        QCOMPARE(d.drawNo, row.drawNo);
        const DrawHistory h(below);
        const StartupStats stats = StartupStats::compute(h);
        for (int r = 0; r < kReflectCounts; ++r) {
            const std::vector<Sheet> grids = buildPredictionSheets(AnalysisInput{h, stats}, r);
            for (int p = 0; p < 3; ++p)
                QCOMPARE(d.cycleColumns[std::size_t(p)], cellDigits(grids[0], p + 2, p + 2));
            for (int m = 0; m < kMethodCount; ++m) {
                const DigitSet shown = cellDigits(grids[std::size_t(m)], 2, 4);
                QCOMPARE(d.shown[std::size_t(r)][std::size_t(m)], shown);
                const int k = digitCount(shown);
                boxChances[std::size_t(r)][std::size_t(m)].push_back(k * k * k / 1000.0);
                bool box = true;
                for (int p = 0; p < 3; ++p)
                    box = box && hasDigit(shown, row.digit(p));
                boxHits[std::size_t(r)][std::size_t(m)] += box ? 1 : 0;
            }
            secondRapidRow += digitCount(d.shown[std::size_t(r)][2]) > 3 ? 1 : 0;
            fullOneShot += digitCount(d.shown[std::size_t(r)][3]) == 3 ? 1 : 0;
        }
        below.push_back(row);
    }
    QCOMPARE(next, run.draws.size());
    // The random history reaches the placements that are easy to get wrong.
    QVERIFY(secondRapidRow > 0);
    QVERIFY(fullOneShot > 0);

    std::vector<int> all;
    for (int r = 0; r < kReflectCounts; ++r)
        all.push_back(r);
    const auto scores = scoreBacktest(run, all);
    QCOMPARE(int(scores.size()), kReflectCounts);
    for (int r = 0; r < kReflectCounts; ++r) {
        for (int m = 0; m < kMethodCount; ++m) {
            const MethodScore& s = scores[std::size_t(r)].methods[std::size_t(m)];
            QCOMPARE(s.boxHits, boxHits[std::size_t(r)][std::size_t(m)]);
            const auto& chances = boxChances[std::size_t(r)][std::size_t(m)];
            QVERIFY(close(s.boxP, fullTail(chances, s.boxHits), 1e-12));
        }
    }
}

void TestPredictionBacktest::cumulativeHits() {
    // Box hits before draw 14 only (see the hand-worked gap case).
    const BacktestRun run = runBacktest(test::history(u"1:000 13:000 14:000"_s), 1);
    const CumulativeBoxHits c = cumulativeBoxHits(run, 0, 2);
    QCOMPARE(c.hits, (std::vector<int>{0, 0, 1}));
    QCOMPARE(c.expected, (std::vector<double>{0, 0, 0.001}));
    QVERIFY(cumulativeBoxHits(run, 11, 0).hits.empty());
    QVERIFY(cumulativeBoxHits(run, 0, 4).hits.empty());
}

void TestPredictionBacktest::holm_data() {
    QTest::addColumn<QList<double>>("p");
    QTest::addColumn<QList<double>>("expected");
    // Sorted: 0.01 0.01 0.03 0.04 0.2 -> 0.05 0.05 0.09 max(0.09, 0.08) 0.2.
    QTest::newRow("ties, and a step that would fall")
        << QList<double>{0.01, 0.04, 0.01, 0.03, 0.2} << QList<double>{0.05, 0.09, 0.05, 0.09, 0.2};
    QTest::newRow("capped at 1") << QList<double>{0.5, 0.3, 0.9} << QList<double>{1, 0.9, 1};
    QTest::newRow("all equal") << QList<double>{0.02, 0.02, 0.02}
                               << QList<double>{0.06, 0.06, 0.06};
    QTest::newRow("ties after the smallest")
        << QList<double>{0.001, 0.3, 0.3, 0.3} << QList<double>{0.004, 0.9, 0.9, 0.9};
    QTest::newRow("one") << QList<double>{0.04} << QList<double>{0.04};
    QTest::newRow("none") << QList<double>{} << QList<double>{};
}

void TestPredictionBacktest::holm() {
    QFETCH(QList<double>, p);
    QFETCH(QList<double>, expected);
    const std::vector<double> in(p.begin(), p.end());
    const std::vector<double> out = holmAdjust(in);
    QCOMPARE(out.size(), in.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        QVERIFY2(close(out[i], expected[qsizetype(i)], 1e-12),
                 qPrintable(u"%1: %2"_s.arg(i).arg(out[i], 0, 'g', 17)));
        // Equal p-values, equal adjusted values, to the last bit.
        for (std::size_t j = 0; j < i; ++j) {
            if (in[j] == in[i])
                QCOMPARE(out[j], out[i]);
        }
    }
}

// The family is the same 35 tests whatever is reported, and the cycle
// method's tests carry one adjusted value for every reflected count.
void TestPredictionBacktest::family() {
    const BacktestRun run = runBacktest(test::history(u"1:000 13:000 14:000"_s), 1);
    std::vector<int> all;
    for (int r = 0; r < kReflectCounts; ++r)
        all.push_back(r);
    const auto scores = scoreBacktest(run, all);
    const auto tests = backtestTests(scores);
    QCOMPARE(int(tests.size()), kBacktestTests);
    QCOMPARE(kBacktestTests, 35);
    // The tests at p = 0.001 (cycle box and straight, and the combined
    // methods wherever they show {0}) are each adjusted to 35 * 0.001; the
    // others (elimination hits 0 0 0 at reflect 7 with chance 0.008, say)
    // to more.
    int small = 0;
    for (const BacktestTest& t : tests) {
        QVERIFY(t.adjusted >= t.p);
        if (t.p < 0.002) {
            ++small;
            QVERIFY(close(t.adjusted, 0.035, 1e-12));
        } else {
            QVERIFY(t.adjusted > 0.035);
        }
    }
    QVERIFY(small >= 4);
    const BacktestTest first = smallestTest(scores);
    QCOMPARE(first.method, 0);
    QCOMPARE(first.straight, false);
    for (const ReflectScore& rs : scores) {
        QCOMPARE(rs.methods[0].boxPAdjusted, first.adjusted);
        QCOMPARE(rs.methods[0].straightPAdjusted, first.adjusted);
    }
    // Reporting one count adjusts over the same family.
    const auto one = scoreBacktest(run, {3, 0});
    QCOMPARE(one.size(), std::size_t(2));
    QCOMPARE(one[0].reflect, 3);
    QCOMPARE(one[1].methods[2].boxPAdjusted, scores[0].methods[2].boxPAdjusted);
    QVERIFY(close(one[1].methods[3].boxPAdjusted, 0.035, 1e-12));
    // Without draws every test has p = 1.
    const auto none = scoreBacktest(runBacktest(test::history(u"123"_s), 5), all);
    for (const BacktestTest& t : backtestTests(none))
        QCOMPARE(t.adjusted, 1.0);
}

// For every shown set: the box tickets are the multisets of three shown
// digits that are not triples, and over the 1000 equally likely draws they
// win 45 % of their price.
void TestPredictionBacktest::boxTicketsAndPrizes() {
    for (int mask = 0; mask < 1024; ++mask) {
        const DigitSet shown = DigitSet(mask);
        int multisets = 0;
        for (int a = 0; a < 10; ++a)
            for (int b = a; b < 10; ++b)
                for (int c = b; c < 10; ++c)
                    multisets += hasDigit(shown, a) && hasDigit(shown, b) && hasDigit(shown, c) &&
                                         !(a == b && b == c)
                                     ? 1
                                     : 0;
        const int tickets = boxTickets(digitCount(shown));
        QCOMPARE(tickets, multisets);
        qint64 prizes = 0;
        for (int d = 0; d < 1000; ++d) {
            const std::array<std::int8_t, 3> digits{std::int8_t(d / 100), std::int8_t(d / 10 % 10),
                                                    std::int8_t(d % 10)};
            prizes += boxPrize(digits, shown);
        }
        QCOMPARE(prizes * 100, qint64(tickets) * kTicketPrice * 1000 * kExpectedReturnPercent);
    }
    const DigitSet s123 = DigitSet(0b1110);
    QCOMPARE(boxPrize({3, 1, 2}, s123), kBoxPrizeSingle);
    QCOMPARE(boxPrize({2, 1, 2}, s123), kBoxPrizeDouble);
    QCOMPARE(boxPrize({1, 1, 3}, s123), kBoxPrizeDouble);
    QCOMPARE(boxPrize({1, 1, 1}, s123), 0);
    QCOMPARE(boxPrize({1, 2, 4}, s123), 0);
}

void TestPredictionBacktest::ticketsAndReturns_data() {
    QTest::addColumn<QString>("history");
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("expected"); // box tickets/return [straight tickets/return]
    // Elimination shows 0, 2, 3, 4 and 5 digits before draws 1..5 (see
    // handWorked): 0 + 2 + 7 + 16 + 30 box tickets. The last draw decides
    // the return against {1 9 7 8 4}.
    QTest::newRow("k = 0, 2, 3, 4, 5; three different digits")
        << "123 456 789 012 198" << 1 << "55/15000";
    QTest::newRow("a pair draw") << "123 456 789 012 449" << 1 << "55/30000";
    QTest::newRow("a pair draw, pair apart") << "123 456 789 012 494" << 1 << "55/30000";
    // A box hit in the count of hits, but no box ticket is a triple.
    QTest::newRow("a triple draw") << "123 456 789 012 444" << 1 << "55/0";
    QTest::newRow("one digit missing") << "123 456 789 012 455" << 1 << "55/0";
    // The cycle method shows {0} (k = 1) before draw 14: no box ticket, one
    // straight ticket 0 0 0, which the triple wins.
    QTest::newRow("k = 1, straight on a triple") << "1:000 13:000 14:000" << 0 << "0/0 1/90000";
    QTest::newRow("k = 1, combined") << "1:000 13:000 14:000" << 3 << "0/0";
    QTest::newRow("k = 2, no hit") << "1:000 13:000 14:000" << 1 << "4/0";
    QTest::newRow("no draws") << QString() << 0 << "0/0 0/0";
}

void TestPredictionBacktest::ticketsAndReturns() {
    QFETCH(QString, history);
    QFETCH(int, method);
    QFETCH(QString, expected);
    const BacktestRun run = runBacktest(test::history(history), 1);
    const MethodScore s = scoreBacktest(run, {0}).front().methods[std::size_t(method)];
    QString got = u"%1/%2"_s.arg(s.boxTickets).arg(s.boxReturn);
    if (method == 0)
        got += u" %1/%2"_s.arg(s.straightTickets).arg(s.straightReturn);
    QCOMPARE(got, expected);
}

void TestPredictionBacktest::zScores() {
    // Before draw 14 rapid-fire shows {0}: one hit at chance 0.001, so
    // z = (1 - 0.001) / sqrt(0.001 * 0.999); the draws before it had no
    // chance at all and are left out.
    const BacktestRun run = runBacktest(test::history(u"1:000 13:000 14:000"_s), 1);
    const BoxHitZ z = boxHitZ(run, 0, 2);
    QCOMPARE(z.drawNo, (std::vector<int>{14}));
    QVERIFY(close(z.z.front(), 0.999 / std::sqrt(0.000999), 1e-12));
    QVERIFY(boxHitZ(run, 1, 2).z.empty());
    QVERIFY(boxHitZ(run, 0, 4).z.empty());
    // Against chance draw by draw: a method that always shows every digit
    // hits every time as expected, z = 0 is never defined (sd 0).
    const BacktestRun real = runBacktest(generateHistory({.draws = 400, .seed = 3}), 101);
    const CumulativeBoxHits c = cumulativeBoxHits(real, 2, 1);
    const BoxHitZ zz = boxHitZ(real, 2, 1);
    QVERIFY(!zz.z.empty());
    double var = 0;
    std::size_t k = 0;
    for (std::size_t i = 0; i < real.draws.size(); ++i) {
        const double q = boxChanceThousandths(real.draws[i].shown[2][1]) / 1000.0;
        var += q * (1 - q);
        if (var <= 0)
            continue;
        QCOMPARE(zz.drawNo[k], real.draws[i].drawNo);
        QVERIFY(close(zz.z[k], (c.hits[i] - c.expected[i]) / std::sqrt(var), 1e-9) ||
                std::abs(zz.z[k]) < 1e-9);
        ++k;
    }
    QCOMPARE(k, zz.z.size());
}

void TestPredictionBacktest::pValueText_data() {
    QTest::addColumn<double>("p");
    QTest::addColumn<QString>("text");
    QTest::newRow("one") << 1.0 << "1";
    QTest::newRow("three digits") << 0.0330588 << "0.0331";
    QTest::newRow("trailing zero dropped") << 0.5 << "0.5";
    QTest::newRow("rounds up to one") << 0.99971 << "1";
    QTest::newRow("at 0.001") << 0.001 << "0.001";
    QTest::newRow("just above 0.001") << 0.00123456 << "0.00123";
    QTest::newRow("below 0.001") << 0.000999 << "< 0.001";
    QTest::newRow("zero") << 0.0 << "< 0.001";
}

void TestPredictionBacktest::pValueText() {
    QFETCH(double, p);
    QFETCH(QString, text);
    QCOMPARE(formatPValue(p), text);
}

QTEST_GUILESS_MAIN(TestPredictionBacktest)
#include "tst_prediction_backtest.moc"
