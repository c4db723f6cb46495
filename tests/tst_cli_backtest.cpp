// peridon-cli backtest: the JSON and text reports and their refusals.
#include "core/prediction/Backtest.h"
#include "core/store/Database.h"
#include "support/CliRun.h"
#include "support/WorkingDirectory.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace peridon;

namespace {

using Run = test::CliRun;

Run cli(const QStringList& args) {
    return test::runCli(args);
}

// Draws 2..12 missing: before draw 14 every method shows 0 and the draw is
// 0 0 0 (the hand-worked gap history of the backtest tests).
constexpr char kCsv[] = "回数,第1数字,第2数字,第3数字\n1,0,0,0\n13,0,0,0\n14,0,0,0\n";

} // namespace

class TestCliBacktest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void exactJson();
    void jsonMatchesTheBacktest();
    void fromAboveToIsEmpty();
    void textTablePerReflectedCount();
    void refusals_data();
    void refusals();

private:
    QTemporaryDir m_dir;
    QString m_small;
    QString m_sample;
};

void TestCliBacktest::initTestCase() {
    test::useTemporaryWorkingDirectory();
    QVERIFY(!qEnvironmentVariable("PERIDON_CLI").isEmpty());
    QVERIFY(m_dir.isValid());
    const QString csv = m_dir.filePath(u"draws.csv"_s);
    QFile f(csv);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(kCsv);
    f.close();
    m_small = m_dir.filePath(u"small.mdb"_s);
    Run r = cli({u"import"_s, csv, u"--db"_s, m_small});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    m_sample = m_dir.filePath(u"sample.mdb"_s);
    r = cli({u"sample"_s, u"--draws"_s, u"400"_s, u"--seed"_s, u"9"_s, u"--db"_s, m_sample});
    QVERIFY2(r.status == 0, qPrintable(r.err));
}

void TestCliBacktest::exactJson() {
    const Run r = cli({u"backtest"_s, u"--db"_s, m_small, u"--from"_s, u"1"_s, u"--reflect"_s,
                       u"0"_s, u"--json"_s});
    QCOMPARE(r.status, 0);
    const QByteArray expected =
        R"({"from":1,"to":14,"draws":3,"tests":35,"results":[{"reflect":0,"methods":[)"
        R"({"method":"周期法","mean_digits":0.3333333333333333,"digit_hits":3,)"
        R"("digit_expected":0.3,"box_hits":1,"box_expected":0.001,"box_p":0.001,)"
        R"("straight_hits":1,"straight_expected":0.001,"straight_p":0.001,)"
        R"("box_p_adjusted":0.035,"straight_p_adjusted":0.035,"box_tickets":0,"box_return":0,)"
        R"("straight_tickets":1,"straight_return":90000},)"
        R"({"method":"消去法","mean_digits":1.3333333333333333,"digit_hits":0,)"
        R"("digit_expected":1.2,"box_hits":0,"box_expected":0.016,"box_p":1,)"
        R"("box_p_adjusted":1,"box_tickets":4,"box_return":0},)"
        R"({"method":"連発ペリドン","mean_digits":0.3333333333333333,"digit_hits":3,)"
        R"("digit_expected":0.3,"box_hits":1,"box_expected":0.001,"box_p":0.001,)"
        R"("box_p_adjusted":0.035,"box_tickets":0,"box_return":0},)"
        R"({"method":"一発ペリドン","mean_digits":0.3333333333333333,"digit_hits":3,)"
        R"("digit_expected":0.3,"box_hits":1,"box_expected":0.001,"box_p":0.001,)"
        R"("box_p_adjusted":0.035,"box_tickets":0,"box_return":0}]}]})"
        "\n";
    QCOMPARE(r.out, expected);
}

// Default range and reflected counts, against the library on the same draws.
void TestCliBacktest::jsonMatchesTheBacktest() {
    const Run r = cli({u"backtest"_s, u"--json"_s, u"--db"_s, m_sample});
    QCOMPARE(r.status, 0);
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(r.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);

    Database db(connectStringFor(m_sample), Database::Mode::OpenExisting);
    const BacktestRun run = runBacktest(db.readHistory());
    std::vector<int> all;
    for (int i = 0; i < kReflectCounts; ++i)
        all.push_back(i);
    const auto scores = scoreBacktest(run, all);

    QCOMPARE(root.keys().size(), 5);
    QCOMPARE(root[u"tests"_s].toInt(), kBacktestTests);
    QCOMPARE(root[u"from"_s].toInt(), 101);
    QCOMPARE(root[u"to"_s].toInt(), run.to);
    QCOMPARE(root[u"draws"_s].toInt(), int(run.draws.size()));
    QVERIFY(run.draws.size() > 250);
    const QJsonArray results = root[u"results"_s].toArray();
    QCOMPARE(results.size(), kReflectCounts);
    int boxHitsSeen = 0;
    for (int i = 0; i < kReflectCounts; ++i) {
        const QJsonObject result = results[i].toObject();
        QCOMPARE(result[u"reflect"_s].toInt(), i);
        const QJsonArray methods = result[u"methods"_s].toArray();
        QCOMPARE(methods.size(), kMethodCount);
        for (int m = 0; m < kMethodCount; ++m) {
            const QJsonObject o = methods[m].toObject();
            const MethodScore& s = scores[std::size_t(i)].methods[std::size_t(m)];
            QCOMPARE(o[u"method"_s].toString(), backtestMethodNames()[std::size_t(m)]);
            QCOMPARE(o.size(), m == 0 ? 16 : 10);
            QCOMPARE(o[u"mean_digits"_s].toDouble(), s.meanDigits);
            QCOMPARE(o[u"digit_hits"_s].toInt(), s.digitHits);
            QCOMPARE(o[u"digit_expected"_s].toDouble(), s.digitExpected);
            QCOMPARE(o[u"box_hits"_s].toInt(), s.boxHits);
            QCOMPARE(o[u"box_expected"_s].toDouble(), s.boxExpected);
            QVERIFY(qAbs(o[u"box_p"_s].toDouble() - s.boxP) <= 5e-6 * s.boxP);
            if (m == 0) {
                QCOMPARE(o[u"straight_hits"_s].toInt(), s.straightHits);
                QCOMPARE(o[u"straight_expected"_s].toDouble(), s.straightExpected);
                QVERIFY(qAbs(o[u"straight_p"_s].toDouble() - s.straightP) <= 5e-6 * s.straightP);
                QCOMPARE(o[u"straight_tickets"_s].toInteger(), s.straightTickets);
                QCOMPARE(o[u"straight_return"_s].toInteger(), s.straightReturn);
                QVERIFY(qAbs(o[u"straight_p_adjusted"_s].toDouble() - s.straightPAdjusted) <=
                        5e-6 * s.straightPAdjusted);
            }
            QCOMPARE(o[u"box_tickets"_s].toInteger(), s.boxTickets);
            QCOMPARE(o[u"box_return"_s].toInteger(), s.boxReturn);
            QVERIFY(qAbs(o[u"box_p_adjusted"_s].toDouble() - s.boxPAdjusted) <=
                    5e-6 * s.boxPAdjusted);
            boxHitsSeen += s.boxHits;
        }
    }
    QVERIFY(boxHitsSeen > 0);
    // Fields in the documented order.
    const QRegularExpression order(
        uR"(\{"method":"[^"]+","mean_digits":[^,]+,"digit_hits":\d+,"digit_expected":[^,]+,)"
        uR"("box_hits":\d+,"box_expected":[^,]+,"box_p":[^,}]+(,"straight_hits":\d+,)"
        uR"("straight_expected":[^,]+,"straight_p":[^,}]+)?,"box_p_adjusted":[^,]+)"
        uR"((,"straight_p_adjusted":[^,]+)?,"box_tickets":\d+,"box_return":\d+)"
        uR"((,"straight_tickets":\d+,"straight_return":\d+)?\})"_s);
    QCOMPARE(QString::fromUtf8(r.out).count(order), kReflectCounts * kMethodCount);
}

void TestCliBacktest::fromAboveToIsEmpty() {
    const Run r = cli({u"backtest"_s, u"--db"_s, m_sample, u"--from"_s, u"300"_s, u"--to"_s,
                       u"200"_s, u"--reflect"_s, u"4"_s, u"--json"_s});
    QCOMPARE(r.status, 0);
    QVERIFY2(
        r.out.startsWith(R"({"from":300,"to":200,"draws":0,"tests":35,"results":[{"reflect":4,)"),
        r.out.constData());
    QVERIFY(r.out.contains(R"("mean_digits":0,"digit_hits":0,"digit_expected":0,"box_hits":0,)"
                           R"("box_expected":0,"box_p":1,)"));
    QVERIFY(r.out.contains(R"("box_p_adjusted":1,"box_tickets":0,"box_return":0})"));
}

void TestCliBacktest::textTablePerReflectedCount() {
    const Run r = cli({u"backtest"_s, u"--db"_s, m_sample, u"--reflect"_s, u"5,2,5"_s});
    QCOMPARE(r.status, 0);
    const QString out = QString::fromUtf8(r.out);
    QCOMPARE(out.count(u"反映数"_s), 2);
    QVERIFY(out.indexOf(u"反映数 2\n"_s) < out.indexOf(u"反映数 5\n"_s));
    QVERIFY(out.indexOf(u"反映数 2\n"_s) >= 0);
    for (const QString& name : backtestMethodNames())
        QCOMPARE(out.count(u'\n' + name), 2);
    QVERIFY(out.startsWith(u"第101回～"_s));
    // Adjusted p-values and return rates beside the raw ones, p-values in
    // three significant digits.
    QCOMPARE(out.count(u"補正p値"_s), 2 * 2 + 1);
    QCOMPARE(out.count(u"回収率(期待45%)"_s), 2 * 2);
    const QRegularExpression rate(uR"( \d+\.\d %)"_s);
    QCOMPARE(out.count(rate), 2 * (kMethodCount + 1));
    const QRegularExpression longP(uR"( 0\.0*[1-9]\d{3,} )"_s);
    QVERIFY2(!out.contains(longP), qPrintable(out));
}

void TestCliBacktest::refusals_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("from not a number") << QStringList{u"--from"_s, u"abc"_s} << u"--from"_s;
    QTest::newRow("from zero") << QStringList{u"--from"_s, u"0"_s} << u"--from"_s;
    QTest::newRow("to beyond the last draw number")
        << QStringList{u"--to"_s, u"32768"_s} << u"--to"_s;
    QTest::newRow("reflect 11") << QStringList{u"--reflect"_s, u"11"_s} << u"--reflect"_s;
    QTest::newRow("reflect negative") << QStringList{u"--reflect"_s, u"-1"_s} << u"--reflect"_s;
    QTest::newRow("reflect empty item") << QStringList{u"--reflect"_s, u"1,,2"_s} << u"--reflect"_s;
    QTest::newRow("reflect word") << QStringList{u"--reflect"_s, u"some"_s} << u"--reflect"_s;
    QTest::newRow("reflect without value") << QStringList{u"--reflect"_s} << u"--reflect"_s;
    QTest::newRow("stray word") << QStringList{u"101"_s} << u"101"_s;
    QTest::newRow("unknown option") << QStringList{u"--csv"_s} << u"--csv"_s;
}

void TestCliBacktest::refusals() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const Run r = cli(QStringList{u"backtest"_s, u"--db"_s, m_small} + args);
    QCOMPARE(r.status, 2);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.err.contains(message) && r.err.contains(u"peridon-cli backtest"_s),
             qPrintable(r.err));
}

QTEST_GUILESS_MAIN(TestCliBacktest)
#include "tst_cli_backtest.moc"
