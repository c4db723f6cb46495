#pragma once

#include "core/prediction/Backtest.h"
#include "gui/widgets/ChildHost.h"

#include <QWidget>

#include <array>
#include <optional>

class QChartView;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace peridon {

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
    QLabel* summaryLabel() const { return m_summary; }

    // The plain reading of a tail probability.
    static QString reading(double p);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    QWidget* createMethodBox(int method);
    void Load();
    void placeWindow();
    void RunBacktest(std::optional<int> to);
    void ShowScores();
    void fillMethodTable(int method, const MethodScore& s);
    void fillRatioTable();
    void fillChart();
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
    std::array<QGroupBox*, kMethodCount> m_boxes{};
    std::array<QTableWidget*, kMethodCount> m_tables{};
    std::array<QLabel*, kMethodCount> m_readings{};
    QTableWidget* m_ratioTable = nullptr;
    QChartView* m_chartView = nullptr;
};

} // namespace peridon
