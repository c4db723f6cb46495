#pragma once

#include "core/prediction/PredictionSettings.h"

#include <QFont>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <utility>
#include <vector>

class QLabel;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QScrollArea;

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

    // The scale the controls are drawn at: 1 at the window's own size, less
    // where the window is given less room (a small screen at 150 %).
    double canvasScale() const { return m_scale; }
    // The scale at which a canvas fits the room: 1 when it fits as it is,
    // else the larger scale at which it fits, but never below minScale
    // (scroll bars take over from there).
    static double fitScale(const QSize& canvas, const QSize& room, double minScale);
    // The smallest scale for a screen of this device pixel ratio: text is
    // never drawn smaller than at 100 %, so at 100 % nothing is scaled.
    static double minimumScale(double devicePixelRatio);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    QWidget* createCanvas();
    void createNote(QWidget* frame, const QString& name, const QString& text, int width);
    void createOptionsPanel(QWidget* canvas);
    void createPredictionPanel(QWidget* canvas);
    void createStatusAndButtons(QWidget* canvas);
    QGroupBox* createOptionFrame(QWidget* parent, int index);
    void optionClicked(int index, bool reflect);
    QRect twips(int left, int top, int width, int height) const;
    // Remembers where every control stands at scale 1.
    void recordPlaces(QWidget* parent);
    // Draws the controls at the scale that fits the scroll area's room.
    void fitToRoom();
    void applyScale(double scale);

    PredictionEngine& m_engine;
    std::function<void()> m_onUnload;
    int m_lastDrawNo = 0;
    QLabel* m_status = nullptr;
    std::array<QRadioButton*, kOptionCount> m_reflectButtons{};
    std::array<QRadioButton*, kOptionCount> m_ignoreButtons{};
    std::array<SheetView*, 4> m_grids{};

    struct Place {
        QPointer<QWidget> widget;
        QRect rect;
        QFont font;
    };
    QScrollArea* m_scroll = nullptr;
    QWidget* m_canvas = nullptr;
    std::vector<Place> m_places;
    // The labels broken at phrase ends, with their texts.
    std::vector<std::pair<QPointer<QLabel>, QString>> m_notes;
    QSize m_canvasSize;
    QFont m_font;
    double m_scale = 1;
};

} // namespace peridon
