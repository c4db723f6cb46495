#pragma once

#include "core/prediction/PredictionSettings.h"

#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace peridon {

class PredictionEngine;
class SheetView;

// The visible part of the prediction window: the ten option pairs, the four
// grids and the buttons. It shows what the engine holds and lives only while
// the window is open; the engine outlives it.
class PredictionForm final : public QWidget {
    Q_OBJECT
public:
    // onUnload runs once, when the window closes.
    PredictionForm(PredictionEngine& engine, std::function<void()> onUnload,
                   QWidget* parent = nullptr);

    // Selects 反映する or 反映しない for every option as the flags say,
    // without running the option's click action.
    void ApplyOptionsToButtons(const ReflectFlags& flags);
    // Shows the engine's grids again after they changed.
    void refreshGrids();
    // The last draw number, for the printout's footer.
    // The draw the data ends at and how many valid draws there are: the
    // status line says which draw the predictions are made from, or why the
    // grids are empty.
    void setDataExtent(int lastDrawNo, int validDraws);
    QString statusText() const;
    // The fewest valid draws all four methods need.
    static constexpr int kEnoughDraws = 8;
    // Opens the print preview of the four grids and the options.
    void printGrids();

    SheetView* grid(int index) const { return m_grids[std::size_t(index)]; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    QGroupBox* createOptionFrame(QWidget* parent, int index);
    void optionClicked(int index, bool reflect);
    QRect twips(int left, int top, int width, int height) const;

    PredictionEngine& m_engine;
    std::function<void()> m_onUnload;
    int m_lastDrawNo = 0;
    QLabel* m_status = nullptr;
    std::array<QRadioButton*, kOptionCount> m_reflectButtons{};
    std::array<QRadioButton*, kOptionCount> m_ignoreButtons{};
    std::array<SheetView*, 4> m_grids{};
};

} // namespace peridon
