#pragma once

#include "core/prediction/Backtest.h"
#include "gui/widgets/ChildHost.h"

#include <QWidget>

#include <array>
#include <optional>
#include <vector>

class QChart;
class QChartView;
class QGroupBox;
class QLayout;
class QLineSeries;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace peridon {

class PhraseLabel;

// Creates the window 予想の検証, not yet shown, for the reflected count the
// prediction window has set. It computes while it loads and reports
// through host.setPropEnd like every other child window.
QWidget* createBacktestWindow(ChildHost& host, int reflect);

// How each prediction method would have done on the past draws: a table per
// method, the cumulative box hits against chance in a chart, and the box-hit
// ratio for every reflected count. The range and the reflected count can be
// changed; the pass over the history runs again only for a new range.
class BacktestWindow final : public QWidget {
    Q_OBJECT
public:
    BacktestWindow(ChildHost& host, int reflect, QWidget* parent = nullptr);

    const BacktestRun& run() const { return m_run; }
    int reflect() const;
    QTableWidget* methodTable(int method) const { return m_tables[std::size_t(method)]; }
    QLabel* readingLabel(int method) const { return m_readings[std::size_t(method)]; }
    QTableWidget* ratioTable() const { return m_ratioTable; }
    QChartView* chartView() const { return m_chartView; }
    // The status line: the range actually evaluated.
    QLabel* summaryLabel() const { return m_summary; }
    // The line above the tables on the smallest of the family's p-values.
    PhraseLabel* verdictLabel() const { return m_verdict; }
    QTableWidget* moneyTable() const { return m_moneyTable; }

    // The plain reading of one test: nothing to read without evaluated
    // draws, otherwise by its adjusted p-value.
    static QString reading(bool anyDraws, double adjustedP);
    // The line on the smallest p-value of the family, from the scores of
    // all eleven reflected counts.
    static QString verdict(const BacktestRun& run, const std::vector<ReflectScore>& all);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    QWidget* createHeader();
    void createRangeControls();
    void createResultLabels();
    QLayout* createRangeRow();
    QWidget* createMethodBox(int method);
    QWidget* createRatioBox();
    QWidget* createMoneyBox();
    void arrangeControls(QLayout* top, QLayout* range, QLayout* methods, QWidget* ratioBox,
                         QWidget* moneyBox);
    void Load();
    void placeWindow();
    void RunBacktest(std::optional<int> to);
    void ShowScores();
    void fillMethodTable(int method, const MethodScore& s);
    void fillMoneyTable(const ReflectScore& scores);
    void fillRatioTable();
    void fillChart();
    // The chart of the current scores; for printing with fonts of a fixed
    // pixel size.
    QChart* makeChart(const QFont* printFont) const;
    QLineSeries* methodLine(int method, double& extent) const;
    // Opens the print preview of the tables and the chart on one page.
    void printResults();

    ChildHost& m_host;
    BacktestRun m_run;
    bool m_placed = false;
    bool m_unloaded = false;

    QSpinBox* m_from = nullptr;
    QSpinBox* m_to = nullptr;
    QSpinBox* m_reflect = nullptr;
    QPushButton* m_runButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QPushButton* m_printButton = nullptr;
    QLabel* m_summary = nullptr;
    PhraseLabel* m_verdict = nullptr;
    QTableWidget* m_moneyTable = nullptr;
    PhraseLabel* m_moneyCaption = nullptr;
    std::array<QGroupBox*, kMethodCount> m_boxes{};
    std::array<QTableWidget*, kMethodCount> m_tables{};
    std::array<QLabel*, kMethodCount> m_readings{};
    QTableWidget* m_ratioTable = nullptr;
    QChartView* m_chartView = nullptr;
};

} // namespace peridon
