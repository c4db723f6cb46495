#include "gui/prediction/BacktestWindow.h"

#include "core/sheet/GridFont.h"
#include "core/sheet/SheetPrint.h"
#include "core/store/Store.h"
#include "gui/widgets/ChildWindow.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/Messages.h"
#include "gui/widgets/PhraseLines.h"
#include "gui/widgets/PrintPreview.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGraphicsScene>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QValueAxis>

#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

constexpr double kSignificance = 0.05;
// Enough points per line for a smooth chart without drawing every draw.
constexpr int kChartPoints = 800;
constexpr QSize kWindowSize{1100, 800};
// Box hits within this many standard deviations of chance are shaded.
constexpr double kChanceBand = 2;

// Blue, vermilion, bluish green and reddish purple: told apart also by
// readers who confuse red and green.
const std::array<QColor, kMethodCount> kMethodColours{QColor(0, 114, 178), QColor(213, 94, 0),
                                                      QColor(0, 158, 115), QColor(204, 121, 167)};

QString pText(double p) {
    return formatPValue(p);
}

// "p = 0.012" or "p < 0.001".
QString pClause(const QString& name, double p) {
    const QString t = pText(p);
    return t.startsWith(u'<') ? name + u" "_s + t : name + u" = "_s + t;
}

QString yen(qint64 amount) {
    return QLocale(QLocale::Japanese).toString(amount);
}

// A round step for about six ticks over span: 1, 2 or 5 times a power of
// ten.
double roundStep(double span, int ticks) {
    const double raw = std::max(1.0, span / ticks);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * power >= raw)
            return m * power;
    }
    return 10 * power;
}

// Enter in a range box applies the typed value and runs the check.
class EnterRunsCheck final : public QObject {
public:
    EnterRunsCheck(QPushButton* button, QObject* parent) : QObject(parent), m_button(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(watched))
            spin->interpretText();
        m_button->click();
        return true;
    }

private:
    QPushButton* m_button;
};

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

// A table as the printout draws it: texts in rows, the first row and the
// first column as headers, columns as wide as their widest text.
struct PrintTable {
    std::vector<QStringList> rows;
    std::vector<std::vector<bool>> marked; // cells with the current reflected count's colour

    void add(const QStringList& row, const std::vector<bool>& marks = {}) {
        rows.push_back(row);
        marked.push_back(marks);
    }
    std::vector<double> widths(const QFontMetrics& fm) const {
        std::vector<double> w;
        for (const QStringList& row : rows) {
            w.resize(std::max(w.size(), std::size_t(row.size())), 0.0);
            for (qsizetype c = 0; c < row.size(); ++c)
                w[std::size_t(c)] =
                    std::max(w[std::size_t(c)], fm.horizontalAdvance(row[c]) + 10.0);
        }
        return w;
    }
    static double rowHeight(const QFontMetrics& fm) { return fm.height() + 4; }
    QSizeF size(const QFontMetrics& fm) const {
        double width = 0;
        for (const double w : widths(fm))
            width += w;
        return {width, rowHeight(fm) * double(rows.size())};
    }
    void paint(QPainter& p, const QFontMetrics& fm, QPointF at) const {
        const std::vector<double> w = widths(fm);
        const double h = rowHeight(fm);
        const QSizeF total = size(fm);
        const QColor header(236, 236, 236);
        const QColor mark(255, 255, 192);
        p.fillRect(QRectF(at, QSizeF(total.width(), h)), header);
        p.fillRect(QRectF(at + QPointF(0, h), QSizeF(w.empty() ? 0 : w[0], total.height() - h)),
                   header);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            double x = at.x();
            const double y = at.y() + h * double(r);
            for (std::size_t c = 0; c < std::size_t(rows[r].size()); ++c) {
                const QRectF cellRect(x, y, w[c], h);
                if (c < marked[r].size() && marked[r][c])
                    p.fillRect(cellRect, mark);
                const Qt::Alignment align = r == 0   ? Qt::AlignHCenter
                                            : c == 0 ? Qt::AlignLeft
                                                     : Qt::AlignRight;
                p.drawText(cellRect.adjusted(5, 0, -5, 0),
                           static_cast<int>(align | Qt::AlignVCenter), rows[r][qsizetype(c)]);
                x += w[c];
            }
        }
        p.save();
        p.setPen(QPen(QColor(160, 160, 160), 0.5));
        for (std::size_t r = 0; r <= rows.size(); ++r)
            p.drawLine(QPointF(at.x(), at.y() + h * double(r)),
                       QPointF(at.x() + total.width(), at.y() + h * double(r)));
        double x = at.x();
        for (std::size_t c = 0; c <= w.size(); ++c) {
            p.drawLine(QPointF(x, at.y()), QPointF(x, at.y() + total.height()));
            if (c < w.size())
                x += w[c];
        }
        p.restore();
    }
};

// A window's table as a print table, with its row and column names.
PrintTable printTable(const QTableWidget* t, const QString& corner = QString()) {
    PrintTable out;
    QStringList header{corner};
    for (int c = 0; c < t->columnCount(); ++c)
        header << t->horizontalHeaderItem(c)->text();
    out.add(header);
    for (int r = 0; r < t->rowCount(); ++r) {
        QStringList row{t->verticalHeaderItem(r)->text()};
        std::vector<bool> marks{false};
        for (int c = 0; c < t->columnCount(); ++c) {
            const QTableWidgetItem* item = t->item(r, c);
            row << (item ? item->text() : QString());
            marks.push_back(item && item->background().style() != Qt::NoBrush);
        }
        out.add(row, marks);
    }
    return out;
}

// A table as wide as its columns need, so that a narrow window scrolls
// rather than cutting its texts.
void fitWidth(QTableWidget* t) {
    QHeaderView* header = t->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setStretchLastSection(true);
    int width = t->verticalHeader()->sizeHint().width() + 2 * t->frameWidth() + 2;
    for (int c = 0; c < t->columnCount(); ++c) {
        const int w = std::max(static_cast<const QAbstractItemView*>(t)->sizeHintForColumn(c),
                               header->sectionSizeHint(c)) +
                      8;
        t->setColumnWidth(c, w);
        width += w;
    }
    t->setMinimumWidth(width);
}

// A table just tall enough for its rows.
void fitHeight(QTableWidget* t) {
    t->setFixedHeight(t->horizontalHeader()->sizeHint().height() + 2 * t->frameWidth() +
                      t->rowCount() * t->verticalHeader()->defaultSectionSize());
}

// The band of chance, drawn under the lines, and the zero line.
struct ChanceBand {
    QAreaSeries* band;
    QLineSeries* zero;
};

ChanceBand chanceBand(double first, double last) {
    auto* upper = new QLineSeries;
    auto* lower = new QLineSeries;
    upper->append({QPointF(first, kChanceBand), QPointF(last, kChanceBand)});
    lower->append({QPointF(first, -kChanceBand), QPointF(last, -kChanceBand)});
    auto* band = new QAreaSeries(upper, lower);
    band->setName(u"偶然の範囲"_s);
    band->setColor(QColor(0, 0, 0, 28));
    band->setBorderColor(Qt::transparent);
    auto* zero = new QLineSeries;
    zero->append({QPointF(first, 0), QPointF(last, 0)});
    zero->setPen(QPen(QColor(110, 110, 110), 1, Qt::DashLine));
    return {band, zero};
}

// Draw numbers along x, the deviations symmetric about zero along y, both
// with round steps.
void setTicks(QValueAxis* x, QValueAxis* y, double first, double last, double extent) {
    x->setRange(first, last);
    x->setTickType(QValueAxis::TicksDynamic);
    x->setTickAnchor(0);
    x->setTickInterval(roundStep(last - first, 7));
    const double top = std::ceil(extent * 1.1);
    y->setRange(-top, top);
    y->setTickType(QValueAxis::TicksDynamic);
    y->setTickAnchor(0);
    y->setTickInterval(roundStep(2 * top, 8));
}

// The printed chart's texts in the report's font, the title in bold.
void setChartFont(QChart* chart, QValueAxis* x, QValueAxis* y, const QFont& font) {
    QFont title = font;
    title.setBold(true);
    chart->setTitleFont(title);
    chart->legend()->setFont(font);
    for (QValueAxis* axis : {x, y}) {
        axis->setLabelsFont(font);
        axis->setTitleFont(font);
    }
}

// The four methods in one table, each with the mean number of digits it
// shows.
PrintTable methodsPrintTable(const BacktestRun& run, int reflect,
                             const std::array<QTableWidget*, kMethodCount>& tables) {
    PrintTable methods;
    const std::vector<ReflectScore> scores = scoreBacktest(run, {reflect});
    QStringList header{u"手法"_s, u"平均数字数"_s, QString()};
    for (int c = 0; c < tables[0]->columnCount(); ++c)
        header << tables[0]->horizontalHeaderItem(c)->text();
    methods.add(header);
    for (int m = 0; m < kMethodCount; ++m) {
        const QTableWidget* t = tables[std::size_t(m)];
        for (int r = 0; r < t->rowCount(); ++r) {
            QStringList row;
            if (r == 0) {
                row << backtestMethodNames()[std::size_t(m)]
                    << QString::number(scores.front().methods[std::size_t(m)].meanDigits, 'f', 2);
            } else {
                row << QString() << QString();
            }
            row << t->verticalHeaderItem(r)->text();
            for (int c = 0; c < t->columnCount(); ++c)
                row << (t->item(r, c) ? t->item(r, c)->text() : QString());
            methods.add(row);
        }
    }
    return methods;
}

// Draws the printed report's texts, captions and tables, each returning the
// height it took.
class ReportWriter {
public:
    ReportWriter(QPainter& p, const QFont& font) : m_p(p), m_fm(font), m_line(m_fm.height() + 4) {}

    const QFontMetrics& metrics() const { return m_fm; }
    double line() const { return m_line; }
    // Wrapped at word ends into the width.
    double text(const QString& t, double left, double top, double width) const {
        const QRectF r = m_p.boundingRect(QRectF(left, top, width, 1000), Qt::TextWordWrap, t);
        m_p.drawText(QRectF(left, top, width, r.height()), Qt::TextWordWrap, t);
        return r.height();
    }
    double caption(const QString& t, double left, double top, double width) const {
        m_p.setPen(QColor(160, 0, 0));
        m_p.drawText(QRectF(left, top, width, m_line), Qt::AlignLeft | Qt::AlignVCenter, t);
        m_p.setPen(Qt::black);
        return m_line;
    }
    double table(const PrintTable& t, double left, double top) const {
        t.paint(m_p, m_fm, QPointF(left, top));
        return t.size(m_fm).height();
    }

private:
    QPainter& m_p;
    const QFontMetrics m_fm;
    const double m_line;
};

// The printed report on its one page: notes across the top; down the left
// the methods' table with the readings, then 収支 and its note; down the
// right the chart, which takes the height left, above the ratios.
struct PrintReport {
    static constexpr double kGap = 12;

    QFont font;
    QStringList notes;
    PrintTable methods;
    QStringList readings;
    PrintTable money;
    QString moneyNote;
    PrintTable ratio;
    QChart* chart = nullptr;
    QGraphicsScene* scene = nullptr;

    void paint(QPainter& p, const QRectF& rect) const {
        p.setFont(font);
        p.setPen(Qt::black);
        const ReportWriter w(p, font);
        double y = rect.top();
        for (const QString& note : notes)
            y += w.text(note, rect.left(), y, rect.width()) + 2;
        y += kGap;
        const double top = y;
        const double leftWidth =
            std::max(methods.size(w.metrics()).width(), money.size(w.metrics()).width());
        paintLeft(w, rect.left(), y, leftWidth);
        paintRight(p, w, rect, rect.left() + leftWidth + 24, top);
    }

    void paintLeft(const ReportWriter& w, double left, double y, double width) const {
        y += w.caption(u"方法ごとの的中"_s, left, y, width);
        y += w.table(methods, left, y) + 4;
        for (const QString& r : readings)
            y += w.text(r, left, y, width);
        y += kGap;
        y += w.caption(u"収支（理論上の賞金で計算）"_s, left, y, width);
        y += w.table(money, left, y) + 4;
        w.text(moneyNote, left, y, width);
    }

    void paintRight(QPainter& p, const ReportWriter& w, const QRectF& rect, double right,
                    double top) const {
        const double rightWidth = rect.right() - right;
        const double ratioHeight = w.line() + ratio.size(w.metrics()).height();
        const QRectF chartRect(right, top, rightWidth, rect.bottom() - top - ratioHeight - kGap);
        chart->resize(chartRect.size());
        scene->setSceneRect(chart->geometry());
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        scene->render(&p, chartRect, chart->geometry());
        p.restore();
        const double ry = rect.bottom() - ratioHeight;
        w.caption(u"ボックス的中の 実際／期待値（反映数ごと）"_s, right, ry, rightWidth);
        w.table(ratio, right, ry + w.line());
    }
};

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

QString BacktestWindow::reading(bool anyDraws, double adjustedP) {
    if (!anyDraws)
        return u"検証できる回がありません"_s;
    if (adjustedP < kSignificance)
        return u"偶然より多く当たっています（%1）"_s.arg(pClause(u"補正後 p"_s, adjustedP));
    return u"偶然の範囲です"_s;
}

QString BacktestWindow::verdict(const BacktestRun& run, const std::vector<ReflectScore>& all) {
    if (run.draws.empty()) {
        return u"検証できる回がないため、%1通りの検定はどれも行えません"_s.arg(kBacktestTests);
    }
    const BacktestTest t = smallestTest(all);
    QString which = backtestMethodNames()[std::size_t(t.method)];
    if (t.method == 0)
        which += t.straight ? u"・ストレート"_s : u"・ボックス"_s;
    else
        which += u"・反映数%1"_s.arg(t.reflect);
    const QString head =
        u"%1通りの検定のうち最も小さいp値は %2（%3）"_s.arg(kBacktestTests).arg(pText(t.p), which);
    if (t.adjusted < kSignificance) {
        return head + u"で、検定の数で補正しても %1 なので、偶然より多く当たっています"_s.arg(
                          pText(t.adjusted));
    }
    return head + u"ですが、検定の数で補正すると %1 で、偶然の範囲です"_s.arg(pText(t.adjusted));
}

void BacktestWindow::createControls() {
    setFont(gridFont());
    setAutoFillBackground(true);
    QWidget* description = createHeader();
    createRangeControls();
    createResultLabels();

    auto* top = new QHBoxLayout;
    top->addWidget(description, 1);
    top->addWidget(m_printButton, 0, Qt::AlignTop);
    top->addWidget(m_closeButton, 0, Qt::AlignTop);
    QLayout* range = createRangeRow();

    auto* methods = new QVBoxLayout;
    for (int m = 0; m < kMethodCount; ++m)
        methods->addWidget(createMethodBox(m));
    methods->addStretch(1);

    m_chartView = new QChartView(this);
    m_chartView->setObjectName(u"Chart累計"_s);
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setMinimumSize(420, 360);

    QWidget* ratioBox = createRatioBox();
    QWidget* moneyBox = createMoneyBox();
    arrangeControls(top, range, methods, ratioBox, moneyBox);
}

// The description and the buttons "印刷" and "閉じる"; returns the
// description.
QWidget* BacktestWindow::createHeader() {
    // Broken at phrase ends, never inside a word, at any width.
    auto* description = new PhraseLabel(
        u"過去の各回について、その回の直前までの当選番号で予想ウィンドウを開いたとしたら表示された"
        "数字が、その回にどれだけ当たったかを数え、数字が偶然（一様かつ独立）に出る場合と比べます。"_s,
        this);
    description->setObjectName(u"Label1"_s);

    m_closeButton = new QPushButton(u"閉じる"_s, this);
    m_closeButton->setObjectName(u"Cmd閉じる"_s);
    connect(m_closeButton, &QPushButton::clicked, this, [this] { closeChildWindow(this); });
    m_printButton = new QPushButton(u"印刷"_s, this);
    m_printButton->setObjectName(u"Command2"_s);
    connect(m_printButton, &QPushButton::clicked, this, &BacktestWindow::printResults);
    return description;
}

// The range of draws to check, the button that checks it and the reflected
// count.
void BacktestWindow::createRangeControls() {
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
    auto* enter = new EnterRunsCheck(m_runButton, this);
    m_from->installEventFilter(enter);
    m_to->installEventFilter(enter);
    m_reflect = new QSpinBox(this);
    m_reflect->setObjectName(u"Spin反映数"_s);
    m_reflect->setRange(0, kReflectCounts - 1);
    connect(m_reflect, &QSpinBox::valueChanged, this, [this] {
        WaitCursor wait;
        ShowScores();
    });
}

// What range was checked, and the verdict in bold.
void BacktestWindow::createResultLabels() {
    m_summary = new QLabel(this);
    m_summary->setObjectName(u"Label範囲"_s);
    m_verdict = new PhraseLabel(QString(), this);
    m_verdict->setObjectName(u"Label要約"_s);
    QFont bold = m_verdict->font();
    bold.setBold(true);
    m_verdict->setFont(bold);
}

QLayout* BacktestWindow::createRangeRow() {
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
    return range;
}

// The box hits over their expectation for every reflected count.
QWidget* BacktestWindow::createRatioBox() {
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
    return ratioBox;
}

// What buying every shown ticket would have cost and paid back.
QWidget* BacktestWindow::createMoneyBox() {
    m_moneyTable = makeTable(
        this, 5,
        {u"口"_s, u"購入額（円）"_s, u"払戻（円）"_s,
         u"回収率（偶然なら%1 %）"_s.arg(kExpectedReturnPercent)},
        {u"周期法 ボックス"_s, u"周期法 ストレート"_s, backtestMethodNames()[1] + u" ボックス"_s,
         backtestMethodNames()[2] + u" ボックス"_s, backtestMethodNames()[3] + u" ボックス"_s});
    m_moneyTable->setObjectName(u"fpSpread収支"_s);
    fitHeight(m_moneyTable);
    m_moneyCaption = new PhraseLabel(
        u"毎回、表示された数字で買えるボックス（3つとも同じ数字は除く）と、周期法では各位の列の"
        "数字のストレートを、1口200円ですべて買った場合です。賞金は理論上の額（ボックス 15,000円、"
        "2つが同じ数字なら30,000円、ストレート 90,000円）で、実際の賞金は回ごとに変わります。"_s,
        this);
    m_moneyCaption->setObjectName(u"Label収支"_s);
    auto* moneyBox = new QGroupBox(u"収支（理論上の賞金で計算）"_s, this);
    auto* moneyLayout = new QVBoxLayout(moneyBox);
    moneyLayout->addWidget(m_moneyTable);
    moneyLayout->addWidget(m_moneyCaption);
    moneyLayout->addStretch(1);
    return moneyBox;
}

// The header and the range on top, the methods down the left beside the
// chart; 収支 and the ratios below. The controls fill the window; where the
// window is smaller than they need (a small screen at 150 %), they scroll
// instead of being squeezed over one another.
void BacktestWindow::arrangeControls(QLayout* top, QLayout* range, QLayout* methods,
                                     QWidget* ratioBox, QWidget* moneyBox) {
    auto* middle = new QHBoxLayout;
    middle->addLayout(methods, 0);
    middle->addWidget(m_chartView, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(moneyBox, 1);
    bottom->addWidget(ratioBox, 0);

    auto* content = new QWidget(this);
    content->setObjectName(u"backtestContent"_s);
    auto* layout = new QVBoxLayout(content);
    layout->addLayout(top);
    layout->addLayout(range);
    layout->addWidget(m_verdict);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);
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
    auto* table =
        makeTable(box, int(rows.size()),
                  {u"的中"_s, u"偶然の期待値"_s, u"実際／期待値"_s, u"p値"_s, u"補正p値"_s}, rows);
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
        // A history that ends before the usual first draw is checked from
        // its beginning.
        int last = 0;
        for (const DrawRow& row : m_host.store().history().rows()) {
            if (row.valid())
                last = row.drawNo;
        }
        if (last < kDefaultBacktestFrom)
            m_from->setValue(1);
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
    std::vector<int> all(static_cast<std::size_t>(kReflectCounts));
    for (int i = 0; i < kReflectCounts; ++i)
        all[std::size_t(i)] = i;
    const std::vector<ReflectScore> scores = scoreBacktest(m_run, all);
    if (m_run.draws.empty()) {
        m_summary->setText(
            u"第%1回～第%2回には検証できる当選データがありません"_s.arg(m_run.from).arg(m_run.to));
    } else {
        m_summary->setText(u"第%1回～第%2回の %3 回を検証しました"_s.arg(m_run.from)
                               .arg(m_run.to)
                               .arg(m_run.draws.size()));
    }
    m_verdict->setPhraseText(verdict(m_run, scores));
    const ReflectScore& current = scores[std::size_t(r)];
    for (int m = 0; m < kMethodCount; ++m)
        fillMethodTable(m, current.methods[std::size_t(m)]);
    fillMoneyTable(current);
    fillRatioTable();
    fillChart();
}

void BacktestWindow::fillMethodTable(int method, const MethodScore& s) {
    m_boxes[std::size_t(method)]->setTitle(u"%1　（表示される数字 平均 %2 個）"_s.arg(
        backtestMethodNames()[std::size_t(method)], QString::number(s.meanDigits, 'f', 2)));
    QTableWidget* t = m_tables[std::size_t(method)];
    const bool any = !m_run.draws.empty();
    const auto row = [t, any](int r, int hits, double expected, double p, double adjusted,
                              bool tested) {
        t->setItem(r, 0, cell(QString::number(hits)));
        t->setItem(r, 1, cell(QString::number(expected, 'f', 2)));
        t->setItem(r, 2, cell(ratioText(hits, expected)));
        t->setItem(r, 3, cell(tested && any ? pText(p) : u"－"_s));
        t->setItem(r, 4, cell(tested && any ? pText(adjusted) : u"－"_s));
    };
    row(0, s.digitHits, s.digitExpected, 1, 1, false);
    row(1, s.boxHits, s.boxExpected, s.boxP, s.boxPAdjusted, true);
    QString text = u"ボックス："_s + reading(any, s.boxPAdjusted);
    if (method == 0) {
        row(2, s.straightHits, s.straightExpected, s.straightP, s.straightPAdjusted, true);
        text += u"　ストレート："_s + reading(any, s.straightPAdjusted);
    }
    m_readings[std::size_t(method)]->setText(text);
    fitWidth(t);
}

void BacktestWindow::fillMoneyTable(const ReflectScore& scores) {
    const auto row = [this](int r, qint64 tickets, qint64 returned) {
        m_moneyTable->setItem(r, 0, cell(yen(tickets)));
        m_moneyTable->setItem(r, 1, cell(yen(tickets * kTicketPrice)));
        m_moneyTable->setItem(r, 2, cell(yen(returned)));
        m_moneyTable->setItem(r, 3, cell(formatReturnRate(returned, tickets)));
    };
    const MethodScore& cycle = scores.methods[0];
    row(0, cycle.boxTickets, cycle.boxReturn);
    row(1, cycle.straightTickets, cycle.straightReturn);
    for (int m = 1; m < kMethodCount; ++m) {
        const MethodScore& s = scores.methods[std::size_t(m)];
        row(m + 1, s.boxTickets, s.boxReturn);
    }
    fitWidth(m_moneyTable);
    m_moneyTable->setMaximumWidth(m_moneyTable->minimumWidth());
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
    QChart* chart = makeChart(nullptr);
    QChart* old = m_chartView->chart();
    m_chartView->setChart(chart);
    delete old;
}

QChart* BacktestWindow::makeChart(const QFont* font) const {
    auto* chart = new QChart;
    chart->setTitle(u"ボックス的中の偶然からのずれ（反映数 %1）"_s.arg(reflect()));
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* x = new QValueAxis;
    x->setTitleText(u"回数"_s);
    x->setLabelFormat(u"%d"_s);
    auto* y = new QValueAxis;
    y->setTitleText(u"偶然からのずれ（標準偏差の何倍か、帯は ±2）"_s);
    y->setLabelFormat(u"%d"_s);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);

    const std::size_t n = m_run.draws.size();
    const double first = n > 0 ? m_run.draws.front().drawNo : m_run.from;
    const double last = std::max(first + 1, n > 0 ? double(m_run.draws.back().drawNo)
                                                  : double(std::max(m_run.from, m_run.to)));

    const ChanceBand chance = chanceBand(first, last);
    std::vector<QAbstractSeries*> all{chance.band, chance.zero};
    double extent = 3;
    for (int m = 0; m < kMethodCount; ++m)
        all.push_back(methodLine(m, extent));
    for (QAbstractSeries* s : all) {
        chart->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
    }
    // The zero line explains itself through the band.
    for (QLegendMarker* marker : chart->legend()->markers(chance.zero))
        marker->setVisible(false);

    setTicks(x, y, first, last, extent);
    if (font)
        setChartFont(chart, x, y, *font);
    return chart;
}

// A method's box hits as standard deviations from chance, thinned out to
// about kChartPoints points; widens extent to the largest deviation.
QLineSeries* BacktestWindow::methodLine(int method, double& extent) const {
    const BoxHitZ z = boxHitZ(m_run, reflect(), method);
    auto* line = new QLineSeries;
    line->setName(backtestMethodNames()[std::size_t(method)]);
    line->setPen(QPen(kMethodColours[std::size_t(method)], 2));
    QList<QPointF> points;
    const std::size_t count = z.z.size();
    const std::size_t step = std::max<std::size_t>(1, count / kChartPoints);
    for (std::size_t i = 0; i < count; i += step)
        points.append(QPointF(z.drawNo[i], z.z[i]));
    if (count > 0 && (count - 1) % step != 0)
        points.append(QPointF(z.drawNo.back(), z.z.back()));
    for (const double v : z.z)
        extent = std::max(extent, std::abs(v));
    line->replace(points);
    return line;
}

void BacktestWindow::printResults() {
    // One landscape A4 page, laid out here at its own size in pixels of 96
    // per inch so that it is printed unscaled: the texts at 12 pixels are
    // 9 points on paper.
    QFont font = gridFont();
    font.setPixelSize(12);
    const QPageLayout page(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                           QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    const QSizeF printable = page.paintRect(QPageLayout::Point).size() * (96.0 / 72.0);
    // Room left for the footer line.
    const QSizeF area(std::floor(printable.width()) - 2, std::floor(printable.height()) - 34);

    PrintReport report;
    report.font = font;
    report.methods = methodsPrintTable(m_run, reflect(), m_tables);
    report.money = printTable(m_moneyTable);
    report.ratio = printTable(m_ratioTable, u"反映数"_s);

    QGraphicsScene scene;
    report.chart = makeChart(&font);
    scene.addItem(report.chart);
    report.scene = &scene;

    report.notes = {m_verdict->phraseText(),
                    m_summary->text() + u"　反映数（反映するオプションの数）: %1"_s.arg(reflect())};
    for (int m = 0; m < kMethodCount; ++m)
        report.readings << backtestMethodNames()[std::size_t(m)] + u"　"_s +
                               m_readings[std::size_t(m)]->text();
    report.moneyNote = m_moneyCaption->phraseText();

    PrintDocument doc;
    doc.caption = windowTitle();
    doc.lastDrawNo = m_host.store().stats().lastDrawNo;
    doc.footerPixels = 12; // every text of the report at 9 points
    doc.figureSize = area;
    doc.figure = [&report](QPainter& p, const QRectF& rect) { report.paint(p, rect); };
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
