// The four prediction methods over small hand-made histories.
#include "core/prediction/PredictionEngine.h"
#include "core/prediction/PredictionSheets.h"
#include "core/prediction/SettingsLocation.h"
#include "core/store/Generator.h"
#include "support/TestHistory.h"
#include "support/WorkingDirectory.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

// An engine after the window's load over the given history.
std::unique_ptr<PredictionEngine> loaded(const QString& text, int reflected = 0) {
    auto e = std::make_unique<PredictionEngine>();
    for (int i = 0; i < reflected; ++i)
        e->reflectFlags()[std::size_t(i)] = true;
    const DrawHistory h = test::history(text);
    const StartupStats stats = StartupStats::compute(h);
    e->InitGridsAndScan(AnalysisInput{h, stats});
    return e;
}

// An engine with empty grids and tables, for driving the combined methods.
std::unique_ptr<PredictionEngine> blank() {
    auto e = std::make_unique<PredictionEngine>();
    for (int i = 0; i < PredictionEngine::kGridCount; ++i) {
        e->SetupGrid(i);
        e->WriteHeader(i);
    }
    return e;
}

// The digit cells of a grid, row by row, "." for empty: "21 9|460|...".
QString digitCells(const Sheet& s) {
    QString out;
    for (int row = 2; row <= s.rows(); ++row) {
        if (row > 2)
            out += u'|';
        for (int col = 2; col <= 4; ++col) {
            const QString t = s.text(col, row);
            out += t.isEmpty() ? u"."_s : t;
        }
    }
    return out;
}

QString cycleTable(const PredictionEngine& e) {
    QString out;
    for (int m = 0; m < 4; ++m) {
        if (m > 0)
            out += u'|';
        for (int p = 1; p <= 3; ++p) {
            const QString t = e.cycleDigit(m, p);
            out += t.isEmpty() ? u"."_s : t;
        }
    }
    return out;
}

QString eliminationTable(const PredictionEngine& e) {
    QString out;
    for (int i = 0; i < PredictionEngine::kRuleCount; ++i) {
        const QString t = e.eliminationDigit(i);
        out += t.isEmpty() ? u"."_s : t;
    }
    return out;
}

bool sameCells(const Sheet& a, const Sheet& b) {
    if (a.cols() != b.cols() || a.rows() != b.rows())
        return false;
    for (int row = 1; row <= a.rows(); ++row) {
        for (int col = 1; col <= a.cols(); ++col) {
            if (a.text(col, row) != b.text(col, row) || a.hAlign(col, row) != b.hAlign(col, row))
                return false;
        }
    }
    return true;
}

// Draws 1..10 chosen so that every elimination rule reads a known digit;
// the latest draw is 1, 2, 3.
const char* const kTenDraws = "000 000 080 500 000 200 600 090 000 123";

} // namespace

class TestPredictionMethods : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryWorkingDirectory(); }
    void gridShape();
    void cycle_data();
    void cycle();
    void eliminationWorkedExample();
    void normalise_data();
    void normalise();
    void eliminationShiftsWithReflectedCount();
    void elimination_short_data();
    void elimination_short();
    void distance_data();
    void distance();
    void emptyFirstPositionSkipsMethod();
    void noVisibleDuplicates();
    void placementsBeyondTheEdge();
    void emptyCycleLeavesGridsEmpty();
    void optionClickChangesOnlyDependentGrids();
    void cliSheetsFollowTheSettingsFile();
};

void TestPredictionMethods::gridShape() {
    const auto e = loaded(QString());
    const int rows[] = {5, 4, 3, 2};
    for (int i = 0; i < 4; ++i) {
        const Sheet& s = e->grid(i);
        QCOMPARE(s.cols(), 4);
        QCOMPARE(s.rows(), rows[i]);
        QCOMPARE(s.visibleRows(), rows[i]);
        QCOMPARE(s.text(2, 1), u"        予 想 数 字                   "_s);
        QVERIFY(s.text(1, 1).isEmpty() && s.text(3, 1).isEmpty() && s.text(4, 1).isEmpty());
        QCOMPARE(s.backColor(1, 1), rgb(255, 200, 200));
        QCOMPARE(s.foreColor(4, 1), rgb(0, 0, 255));
        QCOMPARE(s.hAlign(2, 1), HAlign::Left);
        QCOMPARE(s.borderMask(3, 1), 0);
        QCOMPARE(digitCells(s), QString(u"...|"_s).repeated(rows[i] - 1).chopped(1));
    }
    QCOMPARE(e->grid(0).text(1, 2), u" 7回周期法"_s);
    QCOMPARE(e->grid(0).text(1, 5), u"12回周期法"_s);
    QCOMPARE(e->grid(0).borderMask(1, 3), BorderTop | BorderBottom | BorderRight);
    QCOMPARE(e->grid(1).text(1, 3), u"消去法"_s);
    QCOMPARE(e->grid(1).borderMask(1, 3), 0);
    QCOMPARE(e->grid(1).borderMask(2, 3), int(BorderAll));
    QCOMPARE(e->grid(2).text(1, 2), u"連発予想"_s);
    QCOMPARE(e->grid(3).text(1, 2), u"１発予想"_s);
    QCOMPARE(e->grid(3).borderMask(1, 2), int(BorderAll));
}

void TestPredictionMethods::cycle_data() {
    QTest::addColumn<QString>("history");
    QTest::addColumn<QString>("expected"); // cycleDigits, method rows 7|9|11|12
    // Draw 8 finds 3 seven draws back; 5 and 6 never appeared before.
    QTest::newRow("worked example") << "312 111 111 111 111 111 111 356"
                                    << "3..|...|...|...";
    // 3 in draw 7 hides the 3 of draw 1.
    QTest::newRow("gap 1 hides gap 7") << "312 111 111 111 111 111 311 356"
                                       << "...|...|...|...";
    // Draw 1 holds 3 in its third position; draw 8 has it first.
    QTest::newRow("any position matches") << "123 444 444 444 444 444 444 356"
                                          << "3..|...|...|...";
    QTest::newRow("repeated digit records both") << "312 111 111 111 111 111 111 337"
                                                 << "33.|...|...|...";
    QTest::newRow("fewer than 8 draws") << "312 111 111 111 111 111 356"
                                        << "...|...|...|...";
    // Each entry keeps the digit of the latest draw with that gap.
    QTest::newRow("later draw overwrites") << "312 111 111 111 111 111 111 356 "
                                              "444 888 888 888 888 888 888 499"
                                           << "4..|...|...|...";
    QTest::newRow("gaps 9, 11 and 12") << "912 000 000 000 000 000 000 000 000 090 000 100 002"
                                       << "...|.9.|1..|..2";
    // An invalid row holds no digits, so it never counts as holding 0.
    QTest::newRow("invalid row is not a 0") << "1-1 456 456 456 456 456 456 078"
                                            << "...|...|...|...";
    // A missing draw number holds no digits either: the 0 of draw 13 goes
    // back to draw 1, twelve draws.
    QTest::newRow("missing draw numbers") << "1:055 13:011"
                                          << "...|...|...|0..";
}

void TestPredictionMethods::cycle() {
    QFETCH(QString, history);
    QFETCH(QString, expected);
    const auto e = loaded(history);
    QCOMPARE(cycleTable(*e), expected);
    // The grid shows the table: method rows 2..5, positions in columns 2..4.
    QCOMPARE(digitCells(e->grid(0)), expected);
}

void TestPredictionMethods::eliminationWorkedExample() {
    const auto e = loaded(QString::fromLatin1(kTenDraws));
    // Rule 0: 1 + 1 = 2; rule 1: 2 + 8 = 10 -> 1; rule 3: 0 - 7 -> 2, a repeat.
    QCOMPARE(eliminationTable(*e), u"219284914960999"_s);
    // Distinct digits 2 1 9 | 8 (fourth place, beyond the grid) | 4 6 0.
    QCOMPARE(digitCells(e->grid(1)), u"219|460|..."_s);
}

void TestPredictionMethods::normalise_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0 shows as 9") << "0"
                                  << "9";
    QTest::newRow("-9 shows as 0") << "-9"
                                   << "0";
    QTest::newRow("9 stays") << "9"
                             << "9";
    QTest::newRow("10 folds to 1") << "10"
                                   << "1";
    QTest::newRow("18 folds to 9") << "18"
                                   << "9";
    QTest::newRow("-7 folds to 2") << "-7"
                                   << "2";
    QTest::newRow("1 stays") << "1"
                             << "1";
}

void TestPredictionMethods::normalise() {
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(PredictionEngine::NormaliseDigit(value), expected);
}

void TestPredictionMethods::eliminationShiftsWithReflectedCount() {
    // With one more draw at the end and one option reflected, every rule
    // reads the same draw as before.
    const QString eleven = QString::fromLatin1(kTenDraws) + u" 999"_s;
    const auto shifted = loaded(eleven, 1);
    QCOMPARE(eliminationTable(*shifted), u"219284914960999"_s);
    const auto unshifted = loaded(eleven, 0);
    QCOMPARE(eliminationTable(*unshifted), u"181284314460419"_s);

    // Ten options reflected: rule 14 reads the draw 19 before the latest.
    // Draw 1 is invalid, so a rule that reads it is skipped.
    QString twenty = u"1-1"_s;
    for (int i = 0; i < 19; ++i)
        twenty += u" 555"_s;
    const auto all = loaded(twenty, 10);
    QCOMPARE(all->lastDrawNo(), 20);
    QCOMPARE(eliminationTable(*all).right(1), u"."_s);
    QCOMPARE(eliminationTable(*all).left(1), u"6"_s); // draw 10: 5 + 1
    const auto nine = loaded(twenty, 9);
    QCOMPARE(eliminationTable(*nine).right(1), u"9"_s);
}

void TestPredictionMethods::elimination_short_data() {
    QTest::addColumn<QString>("history");
    QTest::addColumn<int>("reflected");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("grid");
    // Latest draw 5: rules reaching back 5 or more draws find nothing.
    QTest::newRow("five draws") << "111 111 111 111 123" << 0 << "2112854148....."
                                << "218|4..|...";
    QTest::newRow("five draws, four reflected") << "111 111 111 111 123" << 4 << "29............."
                                                << "29.|...|...";
    QTest::newRow("no draw at all") << "" << 0 << "..............."
                                    << "...|...|...";
    QTest::newRow("only invalid rows") << "1-1 2-2" << 0 << "..............."
                                       << "...|...|...";
    // Draw 9 is invalid: rules 2 and 3 (one draw back) are skipped and the
    // placements continue without them.
    QTest::newRow("invalid draw in the middle")
        << "000 000 080 500 000 200 600 090 0-0 123" << 0 << "21..84914960999"
        << "218|960|...";
}

void TestPredictionMethods::elimination_short() {
    QFETCH(QString, history);
    QFETCH(int, reflected);
    QFETCH(QString, expected);
    QFETCH(QString, grid);
    const auto e = loaded(history, reflected);
    QCOMPARE(eliminationTable(*e), expected);
    QCOMPARE(digitCells(e->grid(1)), grid);
}

void TestPredictionMethods::distance_data() {
    QTest::addColumn<QString>("cycle");
    QTest::addColumn<QString>("elimination");
    QTest::addColumn<bool>("rapidFire");
    QTest::addColumn<bool>("oneShot");
    QTest::newRow("distance 3") << "5"
                                << "8" << true << false;
    QTest::newRow("distance 2") << "5"
                                << "3" << true << true;
    QTest::newRow("distance 4") << "5"
                                << "1" << false << false;
    QTest::newRow("distance -3") << "9"
                                 << "6" << true << false;
    QTest::newRow("equal") << "7"
                           << "7" << true << true;
}

void TestPredictionMethods::distance() {
    QFETCH(QString, cycle);
    QFETCH(QString, elimination);
    QFETCH(bool, rapidFire);
    QFETCH(bool, oneShot);
    auto e = blank();
    e->RecordCycleDigit(7, 1, cycle);
    int col = 0;
    int row = 0;
    e->AddEliminationDigit(col, row, 0, elimination);
    e->ComputeRapidFire();
    e->ComputeOneShot();
    // The digit written is always the cycle digit.
    QCOMPARE(e->grid(2).text(2, 2), rapidFire ? cycle : QString());
    QCOMPARE(e->grid(3).text(2, 2), oneShot ? cycle : QString());
}

void TestPredictionMethods::emptyFirstPositionSkipsMethod() {
    auto e = blank();
    e->RecordCycleDigit(7, 2, u"5"_s); // method 0 has no position 1
    e->RecordCycleDigit(7, 3, u"6"_s);
    e->RecordCycleDigit(9, 1, u"4"_s);
    int col = 0;
    int row = 0;
    e->AddEliminationDigit(col, row, 0, u"5"_s);
    e->ComputeRapidFire();
    e->ComputeOneShot();
    QCOMPARE(digitCells(e->grid(2)), u"4..|..."_s);
    QCOMPARE(digitCells(e->grid(3)), u"4.."_s);
}

void TestPredictionMethods::noVisibleDuplicates() {
    auto e = blank();
    for (int gap : {7, 9, 11, 12}) {
        e->RecordCycleDigit(gap, 1, u"5"_s);
        e->RecordCycleDigit(gap, 2, u"4"_s);
    }
    int col = 0;
    int row = 0;
    for (int rule = 0; rule < 15; ++rule)
        e->AddEliminationDigit(col, row, rule, u"5"_s);
    e->ComputeRapidFire();
    e->ComputeOneShot();
    QCOMPARE(digitCells(e->grid(2)), u"54.|..."_s);
    QCOMPARE(digitCells(e->grid(3)), u"54."_s);
}

// Six rapid-fire placements per row on three visible columns: the fourth to
// sixth fall beyond the edge, are not remembered and are accepted again
// from the next elimination digit, landing in row 3.
void TestPredictionMethods::placementsBeyondTheEdge() {
    auto e = blank();
    const char* digits[2][3] = {{"1", "2", "3"}, {"4", "5", "6"}};
    for (int p = 1; p <= 3; ++p) {
        e->RecordCycleDigit(7, p, QString::fromLatin1(digits[0][p - 1]));
        e->RecordCycleDigit(9, p, QString::fromLatin1(digits[1][p - 1]));
    }
    int col = 0;
    int row = 0;
    e->AddEliminationDigit(col, row, 0, u"3"_s);
    e->ComputeRapidFire();
    QCOMPARE(digitCells(e->grid(2)), u"123|..."_s);
    e->ClearPredictionGrids();
    e->AddEliminationDigit(col, row, 1, u"4"_s);
    e->ComputeRapidFire();
    QCOMPARE(digitCells(e->grid(2)), u"123|456"_s);
    e->ComputeOneShot();
    QCOMPARE(digitCells(e->grid(3)), u"123"_s);
}

void TestPredictionMethods::emptyCycleLeavesGridsEmpty() {
    const auto e = loaded(QString::fromLatin1(kTenDraws));
    QCOMPARE(cycleTable(*e), u"...|...|...|..."_s);
    QVERIFY(!eliminationTable(*e).contains(u'.'));
    QCOMPARE(digitCells(e->grid(2)), u"...|..."_s);
    QCOMPARE(digitCells(e->grid(3)), u"..."_s);
}

void TestPredictionMethods::optionClickChangesOnlyDependentGrids() {
    const DrawHistory h = generateHistory({.draws = 400, .seed = 7});
    const StartupStats stats = StartupStats::compute(h);
    const AnalysisInput input{h, stats};
    PredictionEngine e;
    e.InitGridsAndScan(input);
    const Sheet cycleBefore = e.grid(0);
    const Sheet eliminationBefore = e.grid(1);

    for (int option : {0, 3, 9}) {
        e.setOption(option, true);
        // Same as a fresh load with the same options: nothing stale is left.
        PredictionEngine fresh;
        fresh.reflectFlags() = e.reflectFlags();
        fresh.InitGridsAndScan(input);
        QVERIFY(sameCells(e.grid(0), cycleBefore));
        for (int g = 1; g < 4; ++g)
            QVERIFY2(sameCells(e.grid(g), fresh.grid(g)), qPrintable(QString::number(g)));
    }
    QCOMPARE(e.CountReflectedOptions(), 3);
    QVERIFY(!sameCells(e.grid(1), eliminationBefore));
    for (int option : {0, 3, 9})
        e.setOption(option, false);
    QVERIFY(sameCells(e.grid(1), eliminationBefore));
}

// peridon-cli reads the options from the settings file of the data folder
// when no count is given; three leading options set there give the same grids
// as --reflect 3. A settings file in the current directory is not read.
void TestPredictionMethods::cliSheetsFollowTheSettingsFile() {
    const DrawHistory h = generateHistory({.draws = 300, .seed = 3});
    const StartupStats stats = StartupStats::compute(h);
    const AnalysisInput input{h, stats};
    ReflectFlags flags{};
    flags[0] = flags[1] = flags[2] = true;
    QTemporaryDir current;
    QTemporaryDir data;
    QVERIFY(saveSettingsFile(QDir(current.path()).filePath(QString::fromUtf16(kSettingsFileName)),
                             flags)
                .ok);
    QVERIFY(
        saveSettingsFile(QDir(data.path()).filePath(QString::fromUtf16(kSettingsFileName)), flags)
            .ok);
    const QString old = QDir::currentPath();
    QVERIFY(QDir::setCurrent(current.path()));
    setSettingsFolder({});
    const std::vector<Sheet> noFolder = buildPredictionSheets(input, -1);
    setSettingsFolder(data.path());
    const std::vector<Sheet> fromFile = buildPredictionSheets(input, -1);
    setSettingsFolder({});
    QVERIFY(QDir::setCurrent(old));
    const std::vector<Sheet> three = buildPredictionSheets(input, 3);
    const std::vector<Sheet> none = buildPredictionSheets(input, 0);
    QCOMPARE(fromFile.size(), std::size_t(4));
    for (int g = 0; g < 4; ++g) {
        QVERIFY(sameCells(fromFile[std::size_t(g)], three[std::size_t(g)]));
        QVERIFY(sameCells(noFolder[std::size_t(g)], none[std::size_t(g)]));
    }
    QVERIFY(!sameCells(fromFile[1], none[1]));
}

QTEST_GUILESS_MAIN(TestPredictionMethods)
#include "tst_prediction_methods.moc"
