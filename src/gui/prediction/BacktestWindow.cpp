#include "gui/prediction/BacktestWindow.h"

#include "core/sheet/Sheet.h"
#include "core/sheet/SheetPrint.h"
#include "core/store/Store.h"
#include "gui/widgets/ChildWindow.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/Messages.h"
#include "gui/widgets/PrintPreview.h"

#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QValueAxis>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

constexpr double kSignificance = 0.05;
// Enough points per line for a smooth chart without drawing every draw.
constexpr int kChartPoints = 800;
constexpr QSize kWindowSize{1040, 760};

const std::array<QColor, kMethodCount> kMethodColours{QColor(0, 90, 200), QColor(200, 60, 0),
                                                      QColor(0, 150, 70), QColor(150, 0, 150)};

QString pText(double p) {
    return QString::number(p, 'g', 3);
}

QString ratioText(int hits, double expected) {
    return expected > 0 ? QString::number(hits / expected, 'f', 2) : u"－"_s;
}

QTableWidgetItem* cell(const QString& text, Qt::Alignment align = Qt::AlignRight) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(align | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

QTableWidget* makeTable(QWidget* parent, int rows, const QStringList& columns,
                        const QStringList& rowNames) {
    auto* t = new QTableWidget(rows, int(columns.size()), parent);
    t->setHorizontalHeaderLabels(columns);
    t->setVerticalHeaderLabels(rowNames);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionMode(QAbstractItemView::NoSelection);
    t->setFocusPolicy(Qt::NoFocus);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // Rows of one text line, all shown: the tables never scroll.
    t->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return t;
}

// Width of a text in grid characters: a full-width character counts two.
int textChars(const QString& text) {
    int n = 0;
    for (const QChar ch : text)
        n += ch.unicode() < 0x80 ? 1 : 2;
    return n;
}

// A table as a sheet for printing: its column names in a frozen first row,
// its row names in a frozen first column, the cells with their alignment
// and background.
Sheet tableSheet(const QTableWidget* t) {
    const Rgb headerBack = rgb(236, 236, 236);
    Sheet s(t->columnCount() + 1, t->rowCount() + 1);
    s.setFrozen(1, 1);
    s.setScrollBars(ScrollBars::None);
    s.setBackColor(-1, 1, -1, 1, headerBack);
    s.setBackColor(1, -1, 1, -1, headerBack);
    s.setHAlign(1, 2, 1, -1, HAlign::Left);
    std::vector<int> widths(std::size_t(s.cols()), 0);
    const auto put = [&](int col, int row, const QString& text) {
        s.setText(col, row, text);
        widths[std::size_t(col - 1)] = qMax(widths[std::size_t(col - 1)], textChars(text));
    };
    for (int c = 0; c < t->columnCount(); ++c)
        if (const QTableWidgetItem* h = t->horizontalHeaderItem(c))
            put(c + 2, 1, h->text());
    for (int r = 0; r < t->rowCount(); ++r) {
        if (const QTableWidgetItem* h = t->verticalHeaderItem(r))
            put(1, r + 2, h->text());
        for (int c = 0; c < t->columnCount(); ++c) {
            const QTableWidgetItem* item = t->item(r, c);
            if (!item)
                continue;
            put(c + 2, r + 2, item->text());
            if (item->textAlignment() & Qt::AlignRight)
                s.setHAlign(c + 2, r + 2, c + 2, r + 2, HAlign::Right);
            if (item->background().style() != Qt::NoBrush) {
                const QColor b = item->background().color();
                s.setBackColor(c + 2, r + 2, c + 2, r + 2, rgb(b.red(), b.green(), b.blue()));
            }
        }
    }
    for (int c = 1; c <= s.cols(); ++c)
        s.setColWidth(c, widths[std::size_t(c - 1)] + 2);
    return s;
}

// A table just tall enough for its rows.
void fitHeight(QTableWidget* t) {
    t->setFixedHeight(t->horizontalHeader()->sizeHint().height() + 2 * t->frameWidth() +
                      t->rowCount() * t->verticalHeader()->defaultSectionSize());
}

} // namespace

QWidget* createBacktestWindow(ChildHost& host, int reflect) {
    return new BacktestWindow(host, reflect);
}

BacktestWindow::BacktestWindow(ChildHost& host, int reflect, QWidget* parent)
    : QWidget(parent), m_host(host) {
    setObjectName(u"予想の検証"_s);
    setWindowTitle(u"予想の検証"_s);
    createControls();
    {
        const QSignalBlocker quiet(m_reflect);
        m_reflect->setValue(qBound(0, reflect, kReflectCounts - 1));
    }
    Load();
}

int BacktestWindow::reflect() const {
    return m_reflect->value();
}

QString BacktestWindow::reading(double p) {
    if (p >= kSignificance)
        return u"偶然の範囲です"_s;
    return u"偶然より多く当たっています (p = %1)"_s.arg(pText(p));
}

void BacktestWindow::createControls() {
    setFont(gridFont());
    setAutoFillBackground(true);

    auto* description = new QLabel(
        u"過去の各回について、その回の直前までの当選番号で予想ウィンドウを開いたとしたら表示された"
        "数字が、その回にどれだけ当たったかを数え、数字が偶然（一様かつ独立）に出る場合と比べます。"_s,
        this);
    description->setObjectName(u"Label1"_s);
    description->setWordWrap(true);

    m_closeButton = new QPushButton(u"閉じる"_s, this);
    m_closeButton->setObjectName(u"Cmd閉じる"_s);
    connect(m_closeButton, &QPushButton::clicked, this, [this] { closeChildWindow(this); });
    m_printButton = new QPushButton(u"印刷"_s, this);
    m_printButton->setObjectName(u"Command2"_s);
    connect(m_printButton, &QPushButton::clicked, this, &BacktestWindow::printResults);

    m_from = new QSpinBox(this);
    m_from->setObjectName(u"Spin開始回"_s);
    m_to = new QSpinBox(this);
    m_to->setObjectName(u"Spin終了回"_s);
    for (QSpinBox* s : {m_from, m_to}) {
        s->setRange(1, kMaxDrawNo);
        s->setPrefix(u"第"_s);
        s->setSuffix(u"回"_s);
    }
    m_from->setValue(kDefaultBacktestFrom);
    m_runButton = new QPushButton(u"この範囲で検証"_s, this);
    m_runButton->setObjectName(u"Cmd検証"_s);
    connect(m_runButton, &QPushButton::clicked, this, [this] {
        WaitCursor wait;
        RunBacktest(m_to->value());
    });
    m_reflect = new QSpinBox(this);
    m_reflect->setObjectName(u"Spin反映数"_s);
    m_reflect->setRange(0, kReflectCounts - 1);
    connect(m_reflect, &QSpinBox::valueChanged, this, [this] {
        WaitCursor wait;
        ShowScores();
    });

    m_summary = new QLabel(this);
    m_summary->setObjectName(u"Label範囲"_s);

    auto* top = new QHBoxLayout;
    top->addWidget(description, 1);
    top->addWidget(m_printButton, 0, Qt::AlignTop);
    top->addWidget(m_closeButton, 0, Qt::AlignTop);

    auto* range = new QHBoxLayout;
    range->addWidget(new QLabel(u"範囲"_s, this));
    range->addWidget(m_from);
    range->addWidget(new QLabel(u"～"_s, this));
    range->addWidget(m_to);
    range->addWidget(m_runButton);
    range->addSpacing(24);
    range->addWidget(new QLabel(u"反映数（反映するオプションの数）"_s, this));
    range->addWidget(m_reflect);
    range->addSpacing(24);
    range->addWidget(m_summary, 1);

    auto* methods = new QGridLayout;
    for (int m = 0; m < kMethodCount; ++m)
        methods->addWidget(createMethodBox(m), m / 2, m % 2);

    m_chartView = new QChartView(this);
    m_chartView->setObjectName(u"Chart累計"_s);
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setMinimumHeight(260);

    const QStringList ratioColumns{backtestMethodNames()[1], backtestMethodNames()[2],
                                   backtestMethodNames()[3]};
    QStringList counts;
    for (int r = 0; r < kReflectCounts; ++r)
        counts << QString::number(r);
    m_ratioTable = makeTable(this, kReflectCounts, ratioColumns, counts);
    m_ratioTable->setObjectName(u"fpSpread比"_s);
    m_ratioTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    fitHeight(m_ratioTable);
    auto* ratioBox = new QGroupBox(u"ボックス的中の 実際／期待値（反映数ごと）"_s, this);
    auto* ratioLayout = new QVBoxLayout(ratioBox);
    ratioLayout->addWidget(m_ratioTable);
    ratioLayout->addStretch(1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_chartView, 1);
    bottom->addWidget(ratioBox, 0);

    // The controls fill the window; where the window is smaller than they
    // need (a small screen at 150 %), they scroll instead of being squeezed
    // over one another.
    auto* content = new QWidget(this);
    content->setObjectName(u"backtestContent"_s);
    auto* layout = new QVBoxLayout(content);
    layout->addLayout(top);
    layout->addLayout(range);
    layout->addLayout(methods);
    layout->addLayout(bottom, 1);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(u"backtestScroll"_s);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
}

QWidget* BacktestWindow::createMethodBox(int method) {
    auto* box = new QGroupBox(backtestMethodNames()[std::size_t(method)], this);
    m_boxes[std::size_t(method)] = box;
    QStringList rows{u"数字"_s, u"ボックス"_s};
    if (method == 0)
        rows << u"ストレート"_s;
    auto* table = makeTable(box, int(rows.size()),
                            {u"的中"_s, u"偶然の期待値"_s, u"実際／期待値"_s, u"p値"_s}, rows);
    table->setObjectName(u"fpSpread1"_s);
    fitHeight(table);
    m_tables[std::size_t(method)] = table;
    auto* readingLabel = new QLabel(box);
    readingLabel->setObjectName(u"Label判定"_s);
    m_readings[std::size_t(method)] = readingLabel;
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(table);
    layout->addWidget(readingLabel);
    return box;
}

// Load: the window announces itself, takes its place and computes.
void BacktestWindow::Load() {
    WaitCursor wait;
    QCoreApplication::processEvents();
    m_host.setPropEnd(false);
    placeWindow();
    try {
        // Up to the last valid draw; the selector then shows where that is.
        RunBacktest(std::nullopt);
        m_to->setValue(qBound(1, m_run.to, kMaxDrawNo));
    } catch (...) {
        m_host.setPropEnd(true);
        throw;
    }
}

void BacktestWindow::placeWindow() {
    QSize size = kWindowSize;
    if (QMdiArea* area = m_host.mdiArea())
        size = size.boundedTo(area->viewport()->size().expandedTo(QSize(480, 360)));
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        sub->setGeometry(QRect(QPoint(0, 0), size));
        m_placed = true;
    } else if (!parentWidget()) {
        resize(size);
    }
}

void BacktestWindow::RunBacktest(std::optional<int> to) {
    m_run = runBacktest(m_host.store().history(), m_from->value(), to);
    ShowScores();
}

void BacktestWindow::ShowScores() {
    const int r = reflect();
    const std::vector<ReflectScore> scores = scoreBacktest(m_run, {r});
    if (m_run.draws.empty()) {
        m_summary->setText(
            u"第%1回～第%2回には検証できる当選データがありません"_s.arg(m_run.from).arg(m_run.to));
    } else {
        m_summary->setText(u"第%1回～第%2回の %3 回を検証しました"_s.arg(m_run.from)
                               .arg(m_run.to)
                               .arg(m_run.draws.size()));
    }
    for (int m = 0; m < kMethodCount; ++m)
        fillMethodTable(m, scores.front().methods[std::size_t(m)]);
    fillRatioTable();
    fillChart();
}

void BacktestWindow::fillMethodTable(int method, const MethodScore& s) {
    m_boxes[std::size_t(method)]->setTitle(u"%1　（表示される数字 平均 %2 個）"_s.arg(
        backtestMethodNames()[std::size_t(method)], QString::number(s.meanDigits, 'f', 2)));
    QTableWidget* t = m_tables[std::size_t(method)];
    const auto row = [t](int r, int hits, double expected, const QString& p) {
        t->setItem(r, 0, cell(QString::number(hits)));
        t->setItem(r, 1, cell(QString::number(expected, 'f', 2)));
        t->setItem(r, 2, cell(ratioText(hits, expected)));
        t->setItem(r, 3, cell(p));
    };
    row(0, s.digitHits, s.digitExpected, u"－"_s);
    row(1, s.boxHits, s.boxExpected, pText(s.boxP));
    QString text = u"ボックス："_s + reading(s.boxP);
    if (method == 0) {
        row(2, s.straightHits, s.straightExpected, pText(s.straightP));
        text += u"　ストレート："_s + reading(s.straightP);
    }
    m_readings[std::size_t(method)]->setText(text);
}

void BacktestWindow::fillRatioTable() {
    const QColor current(255, 255, 192);
    for (int r = 0; r < kReflectCounts; ++r) {
        for (int m = 1; m < kMethodCount; ++m) {
            const CumulativeBoxHits c = cumulativeBoxHits(m_run, r, m);
            const bool any = !c.expected.empty();
            auto* item = cell(any ? ratioText(c.hits.back(), c.expected.back()) : u"－"_s);
            if (r == reflect())
                item->setBackground(current);
            m_ratioTable->setItem(r, m - 1, item);
        }
    }
}

void BacktestWindow::fillChart() {
    auto* chart = new QChart;
    chart->setTitle(u"ボックス的中の累計（実線）と偶然の期待値（点線）"_s);
    chart->legend()->setAlignment(Qt::AlignRight);
    auto* x = new QValueAxis;
    x->setTitleText(u"回数"_s);
    x->setLabelFormat(u"%d"_s);
    auto* y = new QValueAxis;
    y->setTitleText(u"回"_s);
    y->setLabelFormat(u"%d"_s);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    double top = 1;
    const std::size_t n = m_run.draws.size();
    const std::size_t step = std::max<std::size_t>(1, n / kChartPoints);
    for (int m = 0; m < kMethodCount; ++m) {
        const CumulativeBoxHits c = cumulativeBoxHits(m_run, reflect(), m);
        auto* hits = new QLineSeries;
        auto* expected = new QLineSeries;
        hits->setName(backtestMethodNames()[std::size_t(m)]);
        expected->setName(backtestMethodNames()[std::size_t(m)] + u"（偶然）"_s);
        QPen pen(kMethodColours[std::size_t(m)], 2);
        hits->setPen(pen);
        pen.setStyle(Qt::DashLine);
        pen.setWidthF(1.5);
        expected->setPen(pen);
        QList<QPointF> hitPoints;
        QList<QPointF> expectedPoints;
        for (std::size_t i = 0; i < n; i += step) {
            hitPoints.append(QPointF(m_run.draws[i].drawNo, c.hits[i]));
            expectedPoints.append(QPointF(m_run.draws[i].drawNo, c.expected[i]));
        }
        if (n > 0 && (n - 1) % step != 0) {
            hitPoints.append(QPointF(m_run.draws.back().drawNo, c.hits.back()));
            expectedPoints.append(QPointF(m_run.draws.back().drawNo, c.expected.back()));
        }
        if (n > 0)
            top = std::max({top, double(c.hits.back()), c.expected.back()});
        hits->replace(hitPoints);
        expected->replace(expectedPoints);
        for (QLineSeries* s : {hits, expected}) {
            chart->addSeries(s);
            s->attachAxis(x);
            s->attachAxis(y);
        }
    }
    x->setRange(n > 0 ? m_run.draws.front().drawNo : m_run.from,
                n > 0 ? m_run.draws.back().drawNo : std::max(m_run.from, m_run.to));
    y->setRange(0, top * 1.05);
    y->applyNiceNumbers();
    QChart* old = m_chartView->chart();
    m_chartView->setChart(chart);
    delete old;
}

void BacktestWindow::printResults() {
    std::vector<Sheet> sheets;
    sheets.reserve(kMethodCount + 1);
    PrintDocument doc;
    doc.caption = windowTitle();
    doc.lastDrawNo = m_host.store().stats().lastDrawNo;
    doc.notes << m_summary->text() << u"反映数（反映するオプションの数）: %1"_s.arg(reflect());
    for (int m = 0; m < kMethodCount; ++m)
        doc.notes << u"%1　%2"_s.arg(backtestMethodNames()[std::size_t(m)],
                                     m_readings[std::size_t(m)]->text());
    for (int m = 0; m < kMethodCount; ++m)
        sheets.push_back(tableSheet(m_tables[std::size_t(m)]));
    sheets.push_back(tableSheet(m_ratioTable));
    for (int m = 0; m < kMethodCount; ++m)
        doc.grids.push_back({&sheets[std::size_t(m)], m_boxes[std::size_t(m)]->title()});
    doc.grids.push_back({&sheets.back(), u"ボックス的中の 実際／期待値（反映数ごと）"_s});
    // The chart as the screen shows it, drawn as lines and texts (not as a
    // picture) so that it stays sharp on paper.
    QChart* chart = m_chartView->chart();
    if (chart && chart->scene() && !chart->size().isEmpty()) {
        doc.figureSize = chart->size();
        doc.figure = [chart](QPainter& p, const QRectF& rect) {
            p.setRenderHint(QPainter::Antialiasing);
            chart->scene()->render(&p, rect, chart->sceneBoundingRect());
        };
    }
    showPrintPreview(this, doc);
}

void BacktestWindow::showEvent(QShowEvent* event) {
    if (!m_placed)
        placeWindow();
    QWidget::showEvent(event);
}

void BacktestWindow::closeEvent(QCloseEvent* event) {
    if (!m_unloaded) {
        m_unloaded = true;
        m_host.setPropEnd(true);
    }
    QWidget::closeEvent(event);
}

} // namespace peridon
