#pragma once

#include "core/analysis/AnalysisRegistry.h"
#include "gui/analysis/AnalysisLayout.h"
#include "gui/widgets/ChildHost.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace peridon {

class SheetView;

// Creates the analysis window of one registry entry, not yet shown. It
// computes its sheet while it loads and reports through host.setPropEnd.
QWidget* createAnalysisWindow(const AnalysisInfo& info, ChildHost& host);

// The frame every analysis window shares: the description, "閉じる", "印刷"
// where the window has it, a small legend on some windows, and the grid that
// holds the whole result. The window computes its sheet once, while it loads;
// afterwards it is a static display.
class AnalysisWindow final : public QWidget {
    Q_OBJECT
public:
    AnalysisWindow(const AnalysisInfo& info, ChildHost& host, QWidget* parent = nullptr);

    const AnalysisInfo& info() const { return m_info; }
    const Sheet& sheet() const { return m_sheet; }
    SheetView* grid() const { return m_grid; }
    // The outer size the window takes on load, from its size in twips.
    QSize outerSize() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    void createLegend();
    void Load();
    void placeWindow();
    void layoutControls();
    int px(int twips) const;
    void placeGrid(int top);
    void layoutCountWindow();
    int placeButtons();
    void placeDescriptionAlone(int textRight);
    void placeDescriptionAndLegend(int textRight);
    // widest: how wide the lines may grow when the box's width needs more
    // lines than it has room for.
    void placeDescription(const QRect& box, Qt::Alignment alignment, int widest = 0);
    QSize gridSize(const QSize& room);
    void RunAnalysis();
    // Opens the print preview of the whole grid.
    void printGrid();

    const AnalysisInfo& m_info;
    const AnalysisLayout& m_layout;
    ChildHost& m_host;
    Sheet m_sheet;
    bool m_placed = false;
    bool m_unloaded = false;

    QLabel* m_description = nullptr;
    QPushButton* m_closeButton = nullptr;
    QPushButton* m_printButton = nullptr;
    QLabel* m_legendPicture = nullptr; // legend picture or colour sample
    QLabel* m_legendText = nullptr;
    SheetView* m_grid = nullptr;
};

} // namespace peridon
