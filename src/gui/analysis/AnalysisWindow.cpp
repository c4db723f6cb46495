#include "gui/analysis/AnalysisWindow.h"

#include "core/store/Store.h"
#include "gui/widgets/ChildWindow.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/Messages.h"
#include "gui/widgets/PhraseLines.h"
#include "gui/widgets/PrintPreview.h"
#include "gui/widgets/SheetView.h"
#include "gui/widgets/Twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHash>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

// Places of the controls, in twips.
constexpr int kMargin = 120;
constexpr int kGridLeft = 120;
constexpr int kGridTop = 600;
constexpr int kButtonTop = 120;
constexpr int kButtonWidth = 855;
constexpr int kButtonHeight = 375;
constexpr int kButtonGap = 60;
constexpr int kLegendGap = 60;
// The small appearance-by-draw-count window: buttons of its own size and
// place, the description below the grid and above "印刷".
constexpr int kCountButtonWidth = 735;
constexpr QPoint kCountClose{2400, 120};
constexpr QPoint kCountPrint{2520, 4320};
constexpr int kCountLabelTop = 3480;

QString buttonStyle(int r, int g, int b) {
    return u"QPushButton { background-color: rgb(%1,%2,%3); border: 1px solid "
           "rgb(120,120,120); border-radius: 2px; padding: 2px; }"
           "QPushButton:hover { border-color: rgb(62,120,200); }"
           "QPushButton:pressed { background-color: rgb(%4,%5,%6); }"_s.arg(r)
               .arg(g)
               .arg(b)
               .arg(r * 9 / 10)
               .arg(g * 9 / 10)
               .arg(b * 9 / 10);
}

// The legend's blue ball, the picture of the marks in the grid, drawn at the
// exact pixel size asked for: a ball in two shades of blue on white, or (the
// split windows' legend) a plain filled blue circle.
QPixmap blueBall(int size, bool shaded) {
    const qreal dpr = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pm(QSize(size, size) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(0.5, 0.5, size - 1.0, size - 1.0);
    p.setPen(shaded ? QPen(QColor(0, 64, 192), 1.0) : QPen(QColor(62, 158, 255), 1.0));
    p.setBrush(QColor(62, 158, 255));
    p.drawEllipse(body);
    if (!shaded)
        return pm;
    // The lighter shade: a highlight towards the top left.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 214, 255));
    const qreal h = size * 0.34;
    p.drawEllipse(QRectF(size * 0.22, size * 0.18, h, h * 0.8));
    return pm;
}

// phraseLines for a description in a font, remembered: a window lays its
// description out again on every resize, and the same few descriptions at
// the same few widths come back each time a window opens. Breaking a line
// measures the text many times over, which cost more than painting the rest
// of the window's controls.
QStringList descriptionLines(const QString& text, const QFont& font, int width) {
    static QHash<QString, QStringList> known;
    const QString key = font.key() + QChar(0x1f) + QString::number(width) + QChar(0x1f) + text;
    const auto found = known.constFind(key);
    if (found != known.constEnd())
        return *found;
    // Enough for every window at several sizes; starts over beyond that.
    if (known.size() >= 512)
        known.clear();
    return *known.insert(key, phraseLines(text, QFontMetrics(font), width));
}

// A description's size on one line (a wrapping label's own size hint is a
// guess at some other shape).
struct DescriptionSize {
    DescriptionSize(const QFont& font, const QString& text)
        : fm(font), height(fm.height() + 2), width(fm.horizontalAdvance(text) + 2) {}
    // The width of the description wrapped into the given room, in lines of
    // even length: a line that takes only the last character or two of the
    // text looks like a mistake. The slack of two characters covers where
    // the lines break.
    int wrappedWidth(int room) const {
        room = qMax(1, room);
        const int lines = (width + room - 1) / room;
        return qMin(room, width / lines + 2 * fm.horizontalAdvance(QChar(0x5B57)));
    }

    QFontMetrics fm;
    int height;
    int width;
};

} // namespace

QWidget* createAnalysisWindow(const AnalysisInfo& info, ChildHost& host) {
    return new AnalysisWindow(info, host);
}

AnalysisWindow::AnalysisWindow(const AnalysisInfo& info, ChildHost& host, QWidget* parent)
    : QWidget(parent), m_info(info), m_layout(analysisLayout(info.className)), m_host(host) {
    setObjectName(info.className);
    setWindowTitle(info.caption);
    createControls();
    Load();
}

void AnalysisWindow::createControls() {
    QFont font = gridFont();
    setFont(font);
    setAutoFillBackground(true);

    m_description = new QLabel(m_layout.description, this);
    m_description->setObjectName(u"Label1"_s);
    m_description->setWordWrap(true);

    m_closeButton = new QPushButton(u"閉じる"_s, this);
    m_closeButton->setObjectName(u"Command1"_s);
    m_closeButton->setStyleSheet(buttonStyle(255, 255, 192));
    connect(m_closeButton, &QPushButton::clicked, this, [this] { closeChildWindow(this); });

    if (m_layout.hasPrint) {
        m_printButton = new QPushButton(u"印刷"_s, this);
        m_printButton->setObjectName(u"Command2"_s);
        m_printButton->setStyleSheet(buttonStyle(255, 192, 255));
        connect(m_printButton, &QPushButton::clicked, this, &AnalysisWindow::printGrid);
    }

    createLegend();

    m_grid = new SheetView(this);
    m_grid->setPrintCommand([this] { printGrid(); });
}

void AnalysisWindow::createLegend() {
    switch (m_layout.legend) {
    case Legend::None:
        return;
    case Legend::Ball13:
    case Legend::Ball19: {
        const int size = m_layout.legend == Legend::Ball13 ? 13 : 19;
        m_legendPicture = new QLabel(this);
        m_legendPicture->setObjectName(u"Picture1"_s);
        m_legendPicture->setPixmap(blueBall(size, m_layout.legend == Legend::Ball13));
        m_legendPicture->setFixedSize(size, size);
        m_legendText = new QLabel(u"：当選数字"_s, this);
        m_legendText->setObjectName(u"Label2"_s);
        return;
    }
    case Legend::PullPrevious:
        // A sample of the colour that marks the previous draw's digits.
        m_legendPicture = new QLabel(this);
        m_legendPicture->setObjectName(u"Label2"_s);
        m_legendPicture->setAutoFillBackground(true);
        m_legendPicture->setStyleSheet(
            u"QLabel { background-color: rgb(128,255,255); border: 1px solid rgb(136,196,255); }"_s);
        m_legendPicture->setFixedSize(twipsToPixels(255, this), twipsToPixels(195, this));
        m_legendText = new QLabel(u":前回の数字"_s, this);
        m_legendText->setObjectName(u"Label3"_s);
        return;
    }
}

// Load: the window announces itself, takes its place and computes its
// result while the wait cursor shows.
void AnalysisWindow::Load() {
    WaitCursor wait;
    setCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    m_host.setPropEnd(false);
    placeWindow();
    try {
        RunAnalysis();
    } catch (...) {
        // The window will not open: it must not leave the main window
        // believing a child is still open.
        m_host.setPropEnd(true);
        throw;
    }
    unsetCursor();
}

QSize AnalysisWindow::outerSize() const {
    return twipsToPixels(m_layout.widthTwips, m_layout.heightTwips, this);
}

// Moves the window to the top-left corner of the main window's client area
// and gives it its outer size. Inside an MDI frame that is the frame's
// geometry; the frame exists only once the main window has taken the
// widget, so this runs again when the window is first shown.
void AnalysisWindow::placeWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        placeChildWindow(sub, outerSize());
        m_placed = true;
    } else if (!parentWidget()) {
        resize(outerSize());
    }
}

void AnalysisWindow::RunAnalysis() {
    m_info.build(AnalysisInput{m_host.store().history(), m_host.store().stats()}, m_sheet);
    m_grid->setSheet(&m_sheet);
    layoutControls();
}

void AnalysisWindow::printGrid() {
    PrintDocument doc;
    doc.caption = m_info.caption;
    doc.lastDrawNo = m_host.store().stats().lastDrawNo;
    doc.grids.push_back({&m_sheet, QString()});
    showPrintPreview(this, doc);
}

void AnalysisWindow::showEvent(QShowEvent* event) {
    if (!m_placed)
        placeWindow();
    QWidget::showEvent(event);
}

void AnalysisWindow::closeEvent(QCloseEvent* event) {
    // Unload: one flag, not a count, so any window closing clears it.
    if (!m_unloaded) {
        m_unloaded = true;
        m_host.setPropEnd(true);
    }
    QWidget::closeEvent(event);
}

void AnalysisWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutControls();
}

// The grid shows its visible extent, but never reaches past the window:
// where it is cut, a scroll bar takes over, also in a direction the sheet
// shows none in (a narrow tile would otherwise leave the columns on the right
// out of reach, and a sheet whose extent is all its rows the lower rows).
QSize AnalysisWindow::gridSize(const QSize& room) {
    const QSize want = m_grid->sizeHint();
    QSize size = want.boundedTo(room);
    const ScrollBars bars = m_sheet.scrollBars();
    const bool vertical = bars == ScrollBars::Vertical || bars == ScrollBars::Both;
    const bool horizontal = bars == ScrollBars::Horizontal || bars == ScrollBars::Both;
    const bool hintHasV = m_sheet.visibleRows() > 0 && m_sheet.visibleRows() < m_sheet.rows();
    const bool hintHasH = m_sheet.visibleCols() > 0 && m_sheet.visibleCols() < m_sheet.cols();
    const bool cutV = size.height() < want.height();
    const bool cutH = size.width() < want.width();
    if (!vertical)
        m_grid->setVerticalScrollBarPolicy(cutV ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    if (!horizontal)
        m_grid->setHorizontalScrollBarPolicy(cutH ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    if (cutV && (!vertical || !hintHasV))
        size.setWidth(
            qMin(room.width(), want.width() + m_grid->verticalScrollBar()->sizeHint().width()));
    if (cutH && (!horizontal || !hintHasH))
        size.setHeight(qMin(room.height(),
                            size.height() + m_grid->horizontalScrollBar()->sizeHint().height()));
    return size.expandedTo(QSize(1, 1));
}

// Shows the description in a box: broken at phrase ends into as many lines
// as the box holds; what does not fit ends in "…" with the whole text as the
// tooltip, so the first line is never cut.
void AnalysisWindow::placeDescription(const QRect& box, Qt::Alignment alignment, int widest) {
    const QFontMetrics fm(m_description->font());
    int width = qMax(1, box.width());
    QStringList lines = descriptionLines(m_layout.description, m_description->font(), width);
    const int room = qMax(1, box.height() / qMax(1, fm.lineSpacing()));
    // Lines of even length where they fit, else the widest lines allowed.
    if (lines.size() > room && widest > width) {
        width = widest;
        lines = descriptionLines(m_layout.description, m_description->font(), width);
    }
    const bool cut = lines.size() > room;
    if (cut) {
        const QString rest = lines.mid(room - 1).join(QString());
        lines = lines.mid(0, room - 1);
        lines << fm.elidedText(rest, Qt::ElideRight, width);
    }
    m_description->setWordWrap(false);
    m_description->setText(lines.join(u'\n'));
    m_description->setToolTip(cut ? m_layout.description : QString());
    const int height = qMax(box.height(), int(lines.size()) * fm.lineSpacing() + 2);
    m_description->setGeometry(box.x(), box.y(), qMax(box.width(), width), height);
    m_description->setAlignment(alignment);
}

int AnalysisWindow::px(int twips) const {
    return twipsToPixels(twips, this);
}

// The grid at its left edge and the given top, as large as the window lets
// it be.
void AnalysisWindow::placeGrid(int top) {
    const int margin = px(kMargin);
    m_grid->move(px(kGridLeft), top);
    m_grid->resize(
        gridSize(QSize(width() - px(kGridLeft) - margin / 2, height() - top - margin / 2)));
}

void AnalysisWindow::layoutControls() {
    if (!m_grid)
        return;
    placeGrid(px(kGridTop));
    if (m_layout.buttons == ButtonLayout::CountWindow) {
        layoutCountWindow();
        return;
    }
    const int textRight = placeButtons();
    if (!m_legendPicture)
        placeDescriptionAlone(textRight);
    else
        placeDescriptionAndLegend(textRight);
}

// The small count window: buttons at their own places, the description
// between the grid and "印刷", wrapped to the window's width.
void AnalysisWindow::layoutCountWindow() {
    const int margin = px(kMargin);
    const DescriptionSize line(m_description->font(), m_layout.description);
    m_closeButton->setGeometry(
        QRect(px(kCountClose.x()), px(kCountClose.y()), px(kCountButtonWidth), px(kButtonHeight)));
    if (m_printButton)
        m_printButton->setGeometry(QRect(px(kCountPrint.x()), px(kCountPrint.y()),
                                         px(kCountButtonWidth), px(kButtonHeight)));
    const int top = qMax(px(kCountLabelTop), m_grid->geometry().bottom() + margin / 2);
    const int bottom = m_printButton ? m_printButton->y() - margin / 2 : height() - margin;
    placeDescription(QRect(margin, top, line.wrappedWidth(width() - 2 * margin),
                           qMax(line.height, bottom - top)),
                     Qt::AlignLeft | Qt::AlignTop);
}

// Buttons in the top-right corner, "印刷" to the left of "閉じる". Returns
// where the texts to their left end.
int AnalysisWindow::placeButtons() {
    const int margin = px(kMargin);
    const int buttonW = px(kButtonWidth);
    const int buttonH = px(kButtonHeight);
    const int buttonTop = px(kButtonTop);
    int x = width() - margin - buttonW;
    m_closeButton->setGeometry(x, buttonTop, buttonW, buttonH);
    if (m_printButton) {
        x -= px(kButtonGap) + buttonW;
        m_printButton->setGeometry(x, buttonTop, buttonW, buttonH);
    }
    return x - margin / 2;
}

// The description alone: on the buttons' line, or wrapped over the space
// above the grid when it is too long for one line.
void AnalysisWindow::placeDescriptionAlone(int textRight) {
    const int margin = px(kMargin);
    const int gridTop = px(kGridTop);
    const DescriptionSize line(m_description->font(), m_layout.description);
    if (line.width <= textRight - margin) {
        placeDescription(QRect(margin, px(kButtonTop), textRight - margin, px(kButtonHeight)),
                         Qt::AlignLeft | Qt::AlignVCenter);
        return;
    }
    // More lines than the room above the grid holds move the grid down
    // instead of cutting the description.
    const int widest = textRight - margin;
    const auto lines =
        descriptionLines(m_layout.description, m_description->font(), qMax(1, widest)).size();
    const int need = int(lines) * line.fm.lineSpacing() + 2;
    int top = gridTop;
    if (need > top - 4) {
        // A window made very small keeps a few rows of its grid; the
        // description is then cut, with the whole text as tooltip.
        top = qMax(gridTop, qMin(need + 4, height() - margin / 2 - 3 * line.fm.lineSpacing()));
        placeGrid(top);
    }
    placeDescription(QRect(margin, 2, line.wrappedWidth(widest), top - 4),
                     Qt::AlignLeft | Qt::AlignVCenter, widest);
}

// With a legend: beside the description when both fit on the buttons' line,
// else on a line of its own between the description and the grid.
void AnalysisWindow::placeDescriptionAndLegend(int textRight) {
    const int margin = px(kMargin);
    const int buttonTop = px(kButtonTop);
    const int buttonH = px(kButtonHeight);
    const DescriptionSize line(m_description->font(), m_layout.description);
    const int gap = px(kLegendGap);
    const QSize pic = m_legendPicture->size();
    const QSize text = m_legendText->sizeHint();
    const int legendW = pic.width() + gap / 2 + text.width();
    int legendX = margin + line.width + 2 * gap;
    int legendMid = buttonTop + buttonH / 2;
    if (legendX + legendW > textRight) {
        const int labelTop = qMax(2, buttonTop - line.height / 2);
        placeDescription(QRect(margin, labelTop, qMax(1, textRight - margin), line.height),
                         Qt::AlignLeft | Qt::AlignVCenter);
        legendX = margin;
        legendMid = (labelTop + line.height + px(kGridTop)) / 2;
    } else {
        placeDescription(QRect(margin, buttonTop, line.width, buttonH),
                         Qt::AlignLeft | Qt::AlignVCenter);
    }
    m_legendPicture->move(legendX, legendMid - pic.height() / 2);
    m_legendText->setGeometry(legendX + pic.width() + gap / 2, legendMid - text.height() / 2,
                              text.width(), text.height());
}

} // namespace peridon
