#include "gui/prediction/PredictionForm.h"

#include "core/prediction/PredictionEngine.h"
#include "gui/widgets/ChildWindow.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/SheetView.h"
#include "gui/widgets/Twips.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace peridon {

namespace {

const QColor kLabelBack(192, 255, 255);
const QColor kCaptionText(255, 0, 0);

// Frame3 and Frame2 as they stand on the window, in twips.
constexpr int kFrame3Left = 120;
constexpr int kFrame2Left = 4080;
constexpr int kFramesTop = 480;

// Where the option frames start inside Frame3, and their spacing.
constexpr int kOptionTop = 1140;
constexpr int kOptionStep = 540;
constexpr int kOptionHeight = 510;

struct GridPlace {
    const char* label;
    const char16_t* text;
    int left;
    int top;
};

constexpr std::array<GridPlace, 4> kGridPlaces{{
    {"Label1", u"●周期法による予想(この予想数字を組合わせて購入します)", 4320, 1680},
    {"Label2", u"●消去法による予想(この予想数字を組合わせて購入します)", 4320, 3480},
    {"Label3", u"●連発ペリドン予想(この予想数字を組む合わせて購入します)", 4320, 5040},
    {"Label4", u"●一発ペリドン予想", 4320, 6360},
}};

void paintBackground(QWidget* w, const QColor& back, const QColor* text = nullptr) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, back);
    if (text)
        pal.setColor(QPalette::WindowText, *text);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

} // namespace

PredictionForm::PredictionForm(PredictionEngine& engine, std::function<void()> onUnload,
                               QWidget* parent)
    : QWidget(parent), m_engine(engine), m_onUnload(std::move(onUnload)) {
    setObjectName(QStringLiteral("一発ペリドン"));
    setWindowTitle(QStringLiteral("一発ペリドン予想"));
    setFont(gridFont());
    createControls();
}

QRect PredictionForm::twips(int left, int top, int width, int height) const {
    return twipsRect(left, top, width, height, this);
}

void PredictionForm::createControls() {
    auto* frame3 = new QGroupBox(QStringLiteral("データ分析オプション"), this);
    frame3->setObjectName(QStringLiteral("Frame3"));
    frame3->setGeometry(twips(kFrame3Left, kFramesTop, 3855, 7272));

    auto* label15 = new QLabel(
        QStringLiteral("各データ分析の分析結果を当選予想へ反映するかを設定します。"), frame3);
    label15->setObjectName(QStringLiteral("Label15"));
    label15->setWordWrap(true);
    label15->setGeometry(twips(120, 300, 3615, 660));
    paintBackground(label15, kLabelBack);

    for (int i = 0; i < kOptionCount; ++i)
        createOptionFrame(frame3, i);

    auto* frame2 = new QGroupBox(QStringLiteral("当選予想"), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    frame2->setGeometry(twips(kFrame2Left, kFramesTop, 5055, 7272));

    auto* label19 =
        new QLabel(QStringLiteral("各データ分析の結果を元に周期法、消去法、連発ペリドン、"
                                  "一発ペリドンの各手法を用いて当選数字を予想します。"),
                   frame2);
    label19->setObjectName(QStringLiteral("Label19"));
    label19->setWordWrap(true);
    label19->setGeometry(twips(120, 300, 4815, 660));
    paintBackground(label19, kLabelBack);

    // Grids and their captions are placed in window coordinates.
    for (int i = 0; i < 4; ++i) {
        const GridPlace& place = kGridPlaces[std::size_t(i)];
        auto* caption = new QLabel(QString::fromUtf16(place.text), frame2);
        caption->setObjectName(QString::fromLatin1(place.label));
        caption->setGeometry(
            twips(place.left - kFrame2Left, place.top - kFramesTop - 285, 4695, 255));
        paintBackground(caption, kLabelBack, &kCaptionText);

        auto* view = new SheetView(frame2);
        view->setObjectName(QStringLiteral("fpSpread1_%1").arg(i));
        view->move(twips(place.left - kFrame2Left, place.top - kFramesTop, 0, 0).topLeft());
        m_grids[std::size_t(i)] = view;
    }

    auto* print = new QPushButton(QStringLiteral("印刷"), this);
    print->setObjectName(QStringLiteral("Command2"));
    print->setGeometry(twips(7200, 60, 855, 375));

    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("Cmd閉じる"));
    close->setGeometry(twips(8160, 60, 855, 375));
    connect(close, &QPushButton::clicked, this, [this] { closeChildWindow(this); });
}

QGroupBox* PredictionForm::createOptionFrame(QWidget* parent, int index) {
    const PredictionOption& option = predictionOptions()[std::size_t(index)];
    auto* frame = new QGroupBox(QString::fromUtf16(option.caption), parent);
    frame->setObjectName(QString::fromUtf16(option.frame));
    frame->setGeometry(twips(120, kOptionTop + index * kOptionStep, 3615, kOptionHeight));

    auto* reflect = new QRadioButton(QStringLiteral("反映する"), frame);
    reflect->setObjectName(QStringLiteral("Opt反映する_%1").arg(index));
    auto* ignore = new QRadioButton(QStringLiteral("反映しない"), frame);
    ignore->setObjectName(QStringLiteral("Opt反映しない_%1").arg(index));
    const int top = frame->height() - reflect->sizeHint().height() - 2;
    reflect->move(twips(360, 0, 0, 0).left(), top);
    ignore->move(twips(1920, 0, 0, 0).left(), top);
    reflect->resize(reflect->sizeHint());
    ignore->resize(ignore->sizeHint());
    ignore->setChecked(true);

    // Each frame's pair is exclusive on its own.
    auto* pair = new QButtonGroup(frame);
    pair->addButton(reflect);
    pair->addButton(ignore);

    m_reflect[std::size_t(index)] = reflect;
    m_ignore[std::size_t(index)] = ignore;
    // clicked comes only from the user (or click()), never from setChecked,
    // so ApplyOptionsToButtons does not recompute.
    connect(reflect, &QRadioButton::clicked, this, [this, index] { optionClicked(index, true); });
    connect(ignore, &QRadioButton::clicked, this, [this, index] { optionClicked(index, false); });
    return frame;
}

void PredictionForm::ApplyOptionsToButtons(const ReflectFlags& flags) {
    for (int i = 0; i < kOptionCount; ++i) {
        if (flags[std::size_t(i)])
            m_reflect[std::size_t(i)]->setChecked(true);
        else
            m_ignore[std::size_t(i)]->setChecked(true);
    }
}

void PredictionForm::refreshGrids() {
    for (int i = 0; i < 4; ++i) {
        SheetView* view = m_grids[std::size_t(i)];
        if (view->sheet() != &m_engine.grid(i))
            view->setSheet(&m_engine.grid(i));
        view->refresh();
        // The grid sizes itself to show exactly its cells.
        view->setFixedSize(view->sizeHint());
    }
}

void PredictionForm::optionClicked(int index, bool reflect) {
    m_engine.setOption(index, reflect);
    refreshGrids();
}

void PredictionForm::closeEvent(QCloseEvent* event) {
    event->accept();
    if (auto unload = std::exchange(m_onUnload, nullptr))
        unload();
}

} // namespace peridon
