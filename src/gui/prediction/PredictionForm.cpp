#include "gui/prediction/PredictionForm.h"

#include "core/prediction/PredictionEngine.h"
#include "core/prediction/PredictionSheets.h"
#include "gui/widgets/ChildWindow.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/PhraseLines.h"
#include "gui/widgets/PrintPreview.h"
#include "gui/widgets/SheetView.h"
#include "gui/widgets/Twips.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

const QColor kLabelBack(192, 255, 255);
const QColor kCaptionText(255, 0, 0);

// The options frame (left) and the prediction frame (right), in twips.
constexpr int kOptionsFrameLeft = 120;
constexpr int kPredictionFrameLeft = 4080;
constexpr int kFramesTop = 480;

// Where the option frames start inside the options frame, and their spacing.
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
    setObjectName(u"一発ペリドン"_s);
    setWindowTitle(u"一発ペリドン予想"_s);
    setFont(gridFont());
    createControls();
}

QRect PredictionForm::twips(int left, int top, int width, int height) const {
    return twipsRect(left, top, width, height, this);
}

void PredictionForm::createControls() {
    QWidget* canvas = createCanvas();
    createOptionsPanel(canvas);
    createPredictionPanel(canvas);
    createStatusAndButtons(canvas);
    // The canvas ends just past the frames, so that the window at its own
    // size shows no scroll bars.
    const QRect used = canvas->childrenRect();
    canvas->resize(used.right() + 3, used.bottom() + 3);
    m_scroll->setWidget(canvas);
    m_canvasSize = canvas->size();
    m_font = font();
    recordPlaces(canvas);
}

// Every control stands at its twip position on a canvas inside a scroll
// area. Where the main window is smaller than the window (a small screen at
// 150 %), the canvas is first drawn smaller to fit (fitToRoom), and only what
// still does not fit scrolls into view instead of being cut off.
QWidget* PredictionForm::createCanvas() {
    auto* scroll = new QScrollArea(this);
    m_scroll = scroll;
    scroll->setObjectName(u"predictionScroll"_s);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(false);
    // Made a child at once, so that the controls take the window's font.
    auto* canvas = new QWidget(this);
    m_canvas = canvas;
    canvas->setObjectName(u"predictionCanvas"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    return canvas;
}

// A note at the top of a frame, broken into lines at phrase ends.
void PredictionForm::createNote(QWidget* frame, const QString& name, const QString& text,
                                int width) {
    auto* note = new QLabel(text, frame);
    note->setObjectName(name);
    note->setGeometry(twips(120, 300, width, 660));
    setPhraseWrappedText(note, note->text());
    m_notes.push_back({note, note->text().remove(u'\n')});
    paintBackground(note, kLabelBack);
}

// The options frame: its note and one frame per option.
void PredictionForm::createOptionsPanel(QWidget* canvas) {
    auto* optionsFrame = new QGroupBox(u"データ分析オプション"_s, canvas);
    optionsFrame->setObjectName(u"Frame3"_s);
    optionsFrame->setGeometry(twips(kOptionsFrameLeft, kFramesTop, 3855, 7272));
    createNote(optionsFrame, u"Label15"_s,
               u"各データ分析の分析結果を当選予想へ反映するかを設定します。"_s, 3615);
    for (int i = 0; i < kOptionCount; ++i)
        createOptionFrame(optionsFrame, i);
}

// The prediction frame: its note and the four grids with their captions.
void PredictionForm::createPredictionPanel(QWidget* canvas) {
    auto* predictionFrame = new QGroupBox(u"当選予想"_s, canvas);
    predictionFrame->setObjectName(u"Frame2"_s);
    predictionFrame->setGeometry(twips(kPredictionFrameLeft, kFramesTop, 5055, 7272));
    createNote(predictionFrame, u"Label19"_s,
               u"各データ分析の結果を元に周期法、消去法、連発ペリドン、"
               "一発ペリドンの各手法を用いて当選数字を予想します。"_s,
               4815);

    // Grids and their captions are placed in window coordinates.
    for (int i = 0; i < 4; ++i) {
        const GridPlace& place = kGridPlaces[std::size_t(i)];
        auto* caption = new QLabel(QString::fromUtf16(place.text), predictionFrame);
        caption->setObjectName(QString::fromLatin1(place.label));
        caption->setGeometry(
            twips(place.left - kPredictionFrameLeft, place.top - kFramesTop - 285, 4695, 255));
        paintBackground(caption, kLabelBack, &kCaptionText);

        auto* view = new SheetView(predictionFrame);
        view->setPrintCommand([this] { printGrids(); });
        view->setObjectName(u"fpSpread1_%1"_s.arg(i));
        // Saved files are named after the grid's method ("周期法による予想").
        view->setExportName(
            QString::fromUtf16(place.text).section(u'(', 0, 0).remove(u'●').trimmed());
        view->move(
            twips(place.left - kPredictionFrameLeft, place.top - kFramesTop, 0, 0).topLeft());
        m_grids[std::size_t(i)] = view;
    }
}

// The line above the frames: which draw the data ends at, or why there is
// nothing to predict from, and the buttons.
void PredictionForm::createStatusAndButtons(QWidget* canvas) {
    m_status = new QLabel(canvas);
    m_status->setObjectName(u"LabelData"_s);
    m_status->setGeometry(twips(kOptionsFrameLeft, 60, 6960, 375));
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    auto* print = new QPushButton(u"印刷"_s, canvas);
    print->setObjectName(u"Command2"_s);
    print->setGeometry(twips(7200, 60, 855, 375));
    connect(print, &QPushButton::clicked, this, &PredictionForm::printGrids);

    auto* close = new QPushButton(u"閉じる"_s, canvas);
    close->setObjectName(u"Cmd閉じる"_s);
    close->setGeometry(twips(8160, 60, 855, 375));
    connect(close, &QPushButton::clicked, this, [this] { closeChildWindow(this); });
}

void PredictionForm::recordPlaces(QWidget* parent) {
    for (QObject* object : parent->children()) {
        auto* w = qobject_cast<QWidget*>(object);
        if (!w)
            continue;
        m_places.push_back({w, w->geometry(), w->font()});
        // A grid sizes itself from its font; its parts are its own.
        if (!qobject_cast<SheetView*>(w))
            recordPlaces(w);
    }
}

double PredictionForm::minimumScale(double devicePixelRatio) {
    return devicePixelRatio > 1 ? qBound(0.5, 1 / devicePixelRatio, 1.0) : 1.0;
}

double PredictionForm::fitScale(const QSize& canvas, const QSize& room, double minScale) {
    if (canvas.isEmpty() || room.isEmpty())
        return 1;
    const double fit =
        qMin(double(room.width()) / canvas.width(), double(room.height()) / canvas.height());
    // Whole hundredths, rounded down, so that a window resized by a pixel
    // does not redraw every control.
    return qBound(qMin(minScale, 1.0), std::floor(fit * 100) / 100, 1.0);
}

void PredictionForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitToRoom();
}

void PredictionForm::fitToRoom() {
    if (!m_canvas || m_canvasSize.isEmpty())
        return;
    const QSize room = m_scroll->size();
    const double minScale = minimumScale(devicePixelRatioF());
    double scale = fitScale(m_canvasSize, room, minScale);
    applyScale(scale);
    // Text does not shrink quite in proportion: step down until the canvas
    // really fits and every grid stays inside its frame, or scroll from the
    // smallest scale on.
    const auto fits = [&] {
        for (SheetView* view : m_grids)
            if (!view->parentWidget()->contentsRect().contains(view->geometry()))
                return false;
        return m_canvas->width() <= room.width() && m_canvas->height() <= room.height();
    };
    while (scale < 1 && scale > minScale && !fits()) {
        scale = qMax(minScale, scale - 0.01);
        applyScale(scale);
    }
}

void PredictionForm::applyScale(double scale) {
    if (scale == m_scale)
        return;
    m_scale = scale;
    auto scaled = [scale](int v) { return int(std::lround(v * scale)); };
    auto scaledFont = [scale](QFont f) {
        if (f.pointSizeF() > 0)
            f.setPointSizeF(f.pointSizeF() * scale);
        else if (f.pixelSize() > 0)
            f.setPixelSize(qMax(1, int(std::lround(f.pixelSize() * scale))));
        return f;
    };
    m_canvas->setFont(scaledFont(m_font));
    for (const Place& place : m_places) {
        if (!place.widget)
            continue;
        // Set on each control: one with a style sheet no longer takes its
        // parent's font.
        place.widget->setFont(scaledFont(place.font));
        const QRect& r = place.rect;
        const QPoint topLeft(scaled(r.left()), scaled(r.top()));
        if (auto* view = qobject_cast<SheetView*>(place.widget.data())) {
            view->setGridFont(scaledFont(gridFont()));
            view->move(topLeft);
            continue;
        }
        // From the scaled edges, so that neighbours keep meeting.
        const QPoint end(scaled(r.left() + r.width()), scaled(r.top() + r.height()));
        place.widget->setGeometry(QRect(topLeft, end - QPoint(1, 1)));
    }
    for (SheetView* view : m_grids)
        if (view->sheet())
            view->setFixedSize(view->sizeHint());
    // The option buttons keep their whole text (the round mark does not
    // shrink with the font) and stand in the middle of their frames.
    for (int i = 0; i < kOptionCount; ++i) {
        QRadioButton* reflect = m_reflectButtons[std::size_t(i)];
        QRadioButton* ignore = m_ignoreButtons[std::size_t(i)];
        const QRect inside = reflect->parentWidget()->contentsRect().adjusted(0, 0, 0, -1);
        for (QRadioButton* button : {reflect, ignore}) {
            const QSize hint = button->sizeHint();
            button->resize(qMax(button->width(), hint.width()),
                           qMin(hint.height(), qMax(1, inside.height())));
        }
        const int top = inside.top() + qMax(0, (inside.height() - reflect->height()) / 2);
        reflect->move(reflect->x(), top);
        ignore->move(ignore->x(), top);
    }
    // The notes break into lines again in the new font.
    for (const auto& [label, text] : m_notes)
        if (label)
            setPhraseWrappedText(label, text);
    m_canvas->resize(scaled(m_canvasSize.width()), scaled(m_canvasSize.height()));
}

QGroupBox* PredictionForm::createOptionFrame(QWidget* parent, int index) {
    const PredictionOption& option = predictionOptions()[std::size_t(index)];
    auto* frame = new QGroupBox(QString::fromUtf16(option.caption), parent);
    frame->setObjectName(QString::fromUtf16(option.frame));
    frame->setGeometry(twips(120, kOptionTop + index * kOptionStep, 3615, kOptionHeight));

    auto* reflect = new QRadioButton(u"反映する"_s, frame);
    reflect->setObjectName(u"Opt反映する_%1"_s.arg(index));
    auto* ignore = new QRadioButton(u"反映しない"_s, frame);
    ignore->setObjectName(u"Opt反映しない_%1"_s.arg(index));
    // The caption stands on the frame's top line, as on a classic frame, so
    // the pair fits inside the short frame below it.
    frame->setStyleSheet(
        u"QGroupBox { border: 1px solid rgb(160,160,160); border-radius: 2px; margin-top: 0.5em; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
        " left: 6px; padding: 0 2px; }"_s);
    frame->ensurePolished();
    const QRect inside = frame->contentsRect().adjusted(0, 0, 0, -1);
    for (QRadioButton* button : {reflect, ignore}) {
        button->ensurePolished();
        const int height = qMin(button->sizeHint().height(), qMax(1, inside.height()));
        button->resize(button->sizeHint().width(), height);
    }
    const int top = inside.top() + qMax(0, (inside.height() - reflect->height()) / 2);
    reflect->move(twips(360, 0, 0, 0).left(), top);
    ignore->move(twips(1920, 0, 0, 0).left(), top);
    ignore->setChecked(true);

    // Each frame's pair is exclusive on its own.
    auto* pair = new QButtonGroup(frame);
    pair->addButton(reflect);
    pair->addButton(ignore);

    m_reflectButtons[std::size_t(index)] = reflect;
    m_ignoreButtons[std::size_t(index)] = ignore;
    // clicked comes only from the user (or click()), never from setChecked,
    // so ApplyOptionsToButtons does not recompute.
    connect(reflect, &QRadioButton::clicked, this, [this, index] { optionClicked(index, true); });
    connect(ignore, &QRadioButton::clicked, this, [this, index] { optionClicked(index, false); });
    return frame;
}

void PredictionForm::ApplyOptionsToButtons(const ReflectFlags& flags) {
    for (int i = 0; i < kOptionCount; ++i) {
        if (flags[std::size_t(i)])
            m_reflectButtons[std::size_t(i)]->setChecked(true);
        else
            m_ignoreButtons[std::size_t(i)]->setChecked(true);
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

void PredictionForm::setDataExtent(int lastDrawNo, int validDraws) {
    m_lastDrawNo = lastDrawNo;
    QString text;
    if (validDraws <= 0)
        text = u"当選データがありません"_s;
    else if (validDraws < kEnoughDraws)
        text = u"第%1回までのデータ　当選データが少なすぎます（%2回以上必要です）"_s.arg(lastDrawNo)
                   .arg(kEnoughDraws);
    else
        text = u"第%1回までのデータ"_s.arg(lastDrawNo);
    m_status->setText(text);
    m_status->setStyleSheet(validDraws < kEnoughDraws ? u"color: rgb(255,0,0);"_s : QString());
}

QString PredictionForm::statusText() const {
    return m_status->text();
}

void PredictionForm::printGrids() {
    std::vector<const Sheet*> grids;
    grids.reserve(PredictionEngine::kGridCount);
    for (int i = 0; i < PredictionEngine::kGridCount; ++i)
        grids.push_back(&m_engine.grid(i));
    showPrintPreview(this, predictionPrintDocument(grids, m_engine.reflectFlags(), m_lastDrawNo));
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
