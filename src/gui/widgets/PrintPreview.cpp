#include "gui/widgets/PrintPreview.h"

#include "gui/widgets/Messages.h"
#include "gui/widgets/RecentFolders.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QScreen>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

PreviewRunner& runner() {
    static PreviewRunner r;
    return r;
}

std::function<QString(const QString&)>& pdfChooser() {
    static std::function<QString(const QString&)> c;
    return c;
}

constexpr int kGapPx = 14;               // around and between the pages
constexpr double kPointPx = 96.0 / 72.0; // screen pixels per point at 100 %

} // namespace

// The pages one under the other, at a zoom where 1 is the paper's real
// size on a 96 DPI screen. A page is painted only while it is in view.
class PreviewPages final : public QAbstractScrollArea {
public:
    PreviewPages(SheetPrinter& printer, QWidget* parent)
        : QAbstractScrollArea(parent), m_printer(printer) {
        setObjectName(u"PreviewPages"_s);
        viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
        verticalScrollBar()->setSingleStep(40);
        horizontalScrollBar()->setSingleStep(40);
    }

    void setLayout(const QPageLayout& layout) {
        m_layout = layout;
        updateScrollBars();
        viewport()->update();
    }
    // Zoom 0: the page's width fills the view.
    void setZoom(double zoom) {
        const double top = pageTopFraction();
        m_zoom = zoom;
        updateScrollBars();
        verticalScrollBar()->setValue(int(std::lround(top * contentHeight())));
        viewport()->update();
    }
    double zoom() const { return m_zoom > 0 ? m_zoom : fitZoom(); }
    int painted() const { return m_painted; }
    // The page at the top of the view (0-based).
    int currentPage() const {
        const int step = pageSize().height() + kGapPx;
        return qBound(0, (verticalScrollBar()->value() + step / 3) / qMax(1, step),
                      qMax(0, m_printer.pageCount() - 1));
    }
    void pagesChanged() {
        updateScrollBars();
        viewport()->update();
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QAbstractScrollArea::resizeEvent(event);
        updateScrollBars();
    }
    void paintEvent(QPaintEvent* event) override {
        QPainter p(viewport());
        p.fillRect(event->rect(), QColor(128, 128, 128));
        const QSize page = pageSize();
        const int step = page.height() + kGapPx;
        const int sy = verticalScrollBar()->value();
        const int sx = horizontalScrollBar()->value();
        const int x = qMax(kGapPx, (viewport()->width() - page.width()) / 2) - sx;
        const int first = qMax(0, (sy + event->rect().top() - kGapPx) / qMax(1, step));
        const int last =
            qMin(m_printer.pageCount() - 1, (sy + event->rect().bottom()) / qMax(1, step));
        const double scale = zoom() * kPointPx; // screen pixels per point
        const QRectF paper = m_layout.fullRect(QPageLayout::Point);
        const QRectF printable = m_layout.paintRect(QPageLayout::Point);
        for (int i = first; i <= last; ++i) {
            const QRect rect(x, kGapPx + i * step - sy, page.width(), page.height());
            p.fillRect(rect.translated(3, 3), QColor(80, 80, 80));
            p.fillRect(rect, Qt::white);
            const QRect area(rect.left() +
                                 int(std::lround((printable.left() - paper.left()) * scale)),
                             rect.top() + int(std::lround((printable.top() - paper.top()) * scale)),
                             int(std::lround(printable.width() * scale)),
                             int(std::lround(printable.height() * scale)));
            p.save();
            p.setClipRect(rect);
            m_printer.paintPage(p, i, area, int(std::lround(96 * zoom())));
            p.restore();
            ++m_painted;
        }
    }

private:
    double fitZoom() const {
        const double paperW = m_layout.fullRect(QPageLayout::Point).width() * kPointPx;
        return paperW <= 0 ? 1 : qMax(0.1, (viewport()->width() - 2.0 * kGapPx) / paperW);
    }
    QSize pageSize() const {
        const QSizeF pt = m_layout.fullRect(QPageLayout::Point).size();
        return {int(std::lround(pt.width() * kPointPx * zoom())),
                int(std::lround(pt.height() * kPointPx * zoom()))};
    }
    int contentHeight() const {
        return kGapPx + m_printer.pageCount() * (pageSize().height() + kGapPx);
    }
    double pageTopFraction() const {
        const int h = contentHeight();
        return h > 0 ? double(verticalScrollBar()->value()) / h : 0;
    }
    void updateScrollBars() {
        const QSize page = pageSize();
        verticalScrollBar()->setRange(0, qMax(0, contentHeight() - viewport()->height()));
        verticalScrollBar()->setPageStep(viewport()->height());
        horizontalScrollBar()->setRange(0,
                                        qMax(0, page.width() + 2 * kGapPx - viewport()->width()));
        horizontalScrollBar()->setPageStep(viewport()->width());
    }

    SheetPrinter& m_printer;
    QPageLayout m_layout;
    double m_zoom = 0;
    int m_painted = 0;
};

PrintPreviewDialog::PrintPreviewDialog(const PrintDocument& doc, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_sheetPrinter(doc), m_printer(QPrinter::HighResolution) {
    setObjectName(u"PrintPreview"_s);
    setWindowTitle(u"印刷プレビュー - %1"_s.arg(doc.caption));
    m_layout = m_sheetPrinter.defaultPageLayout();
    m_printer.setDocName(doc.caption);
    m_printer.setPageLayout(m_layout);

    QToolBar* toolbar = createToolBar();
    m_pages = new PreviewPages(m_sheetPrinter, this);
    connect(m_pages->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &PrintPreviewDialog::updatePageLabel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar);
    layout->addWidget(m_pages, 1);
    // A page and a half in view where the screen allows; never larger than
    // the screen (a small screen at 150 % is about 900 x 500).
    QSize size(900, 1000);
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        size = size.boundedTo(screen->availableSize() * 9 / 10);
    resize(size);
    repaginate();
}

QToolBar* PrintPreviewDialog::createToolBar() {
    auto* toolbar = new QToolBar(this);
    QAction* print = toolbar->addAction(u"印刷..."_s, this, &PrintPreviewDialog::printPages);
    print->setObjectName(u"printAction"_s);
    QAction* pdf = toolbar->addAction(u"PDFに保存..."_s, this, &PrintPreviewDialog::savePdf);
    pdf->setObjectName(u"pdfAction"_s);
    toolbar->addSeparator();
    addPaperActions(toolbar);
    toolbar->addSeparator();
    addZoomActions(toolbar);
    toolbar->addSeparator();
    m_pageLabel = new QLabel(toolbar);
    m_pageLabel->setObjectName(u"pageLabel"_s);
    toolbar->addWidget(m_pageLabel);
    toolbar->addSeparator();
    toolbar->addAction(u"閉じる"_s, this, &QDialog::reject)->setObjectName(u"closeAction"_s);
    return toolbar;
}

// The paper's orientation and, for a grid, whether its columns are shrunk to
// the paper's width.
void PrintPreviewDialog::addPaperActions(QToolBar* toolbar) {
    auto* turn = new QActionGroup(this);
    m_portrait =
        toolbar->addAction(u"縦"_s, this, [this] { setOrientation(QPageLayout::Portrait); });
    m_portrait->setObjectName(u"portrait"_s);
    m_landscape =
        toolbar->addAction(u"横"_s, this, [this] { setOrientation(QPageLayout::Landscape); });
    m_landscape->setObjectName(u"landscape"_s);
    for (QAction* a : {m_portrait, m_landscape}) {
        a->setCheckable(true);
        turn->addAction(a);
    }
    (m_layout.orientation() == QPageLayout::Portrait ? m_portrait : m_landscape)->setChecked(true);
    if (!m_doc.onePage()) {
        QAction* fit = toolbar->addAction(u"印刷: 用紙の幅に合わせる"_s);
        fit->setObjectName(u"fitToWidth"_s);
        fit->setCheckable(true);
        fit->setChecked(m_sheetPrinter.fitToWidth());
        fit->setToolTip(u"表の列がすべて用紙の幅に収まるように縮小します"_s);
        connect(fit, &QAction::toggled, this, &PrintPreviewDialog::setFitToWidth);
    }
}

// The preview's zoom; it does not change what is printed.
void PrintPreviewDialog::addZoomActions(QToolBar* toolbar) {
    QAction* zoomIn = toolbar->addAction(
        u"拡大"_s, this, [this] { m_pages->setZoom(qMin(4.0, m_pages->zoom() * 1.25)); });
    zoomIn->setObjectName(u"zoomIn"_s);
    zoomIn->setShortcut(QKeySequence::ZoomIn);
    QAction* zoomOut = toolbar->addAction(
        u"縮小"_s, this, [this] { m_pages->setZoom(qMax(0.1, m_pages->zoom() / 1.25)); });
    zoomOut->setObjectName(u"zoomOut"_s);
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    QAction* whole =
        toolbar->addAction(u"表示: 幅に合わせる"_s, this, [this] { m_pages->setZoom(0); });
    whole->setToolTip(u"ページの幅を画面に合わせます（印刷には影響しません）"_s);
    whole->setObjectName(u"zoomFit"_s);
}

PrintPreviewDialog::~PrintPreviewDialog() = default;

int PrintPreviewDialog::paintedPages() const {
    return m_pages->painted();
}

QWidget* PrintPreviewDialog::pagesView() const {
    return m_pages;
}

void PrintPreviewDialog::repaginate() {
    m_sheetPrinter.paginate(m_layout.paintRect(QPageLayout::Point).size());
    m_printer.setPageLayout(m_layout);
    m_pages->setLayout(m_layout);
    m_pages->pagesChanged();
    updatePageLabel();
}

void PrintPreviewDialog::updatePageLabel() {
    m_pageLabel->setText(u" %1 / %2 ページ "_s.arg(m_pages->currentPage() + 1).arg(pageCount()));
}

void PrintPreviewDialog::setOrientation(QPageLayout::Orientation orientation) {
    m_layout.setOrientation(orientation);
    (orientation == QPageLayout::Portrait ? m_portrait : m_landscape)->setChecked(true);
    repaginate();
}

void PrintPreviewDialog::setFitToWidth(bool on) {
    m_sheetPrinter.setFitToWidth(on);
    repaginate();
}

void PrintPreviewDialog::printPages() {
    QPrintDialog dialog(&m_printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    bool ok = false;
    {
        WaitCursor wait;
        ok = m_sheetPrinter.print(&m_printer);
    }
    // The printer's paper may differ from the preview's: lay the preview
    // out again for it.
    m_layout = m_printer.pageLayout();
    repaginate();
    if (!ok)
        messages::stop(this, u"印刷できませんでした。プリンターの設定を確かめてください。"_s);
}

void PrintPreviewDialog::savePdf() {
    const QString suggested =
        QDir(recentFolder(FolderKind::Output)).filePath(m_doc.caption + u".pdf"_s);
    QString path = pdfChooser() ? pdfChooser()(suggested)
                                : QFileDialog::getSaveFileName(this, u"PDFに保存"_s, suggested,
                                                               u"PDFファイル (*.pdf)"_s);
    if (path.isEmpty())
        return;
    if (!path.endsWith(u".pdf"_s, Qt::CaseInsensitive))
        path += u".pdf"_s;
    rememberFolder(FolderKind::Output, path);
    QString error;
    bool ok = false;
    {
        WaitCursor wait;
        ok = writePdf(m_sheetPrinter, m_layout, m_doc.caption, path, error);
    }
    repaginate();
    if (!ok)
        messages::stop(this, error);
}

void setPreviewRunner(PreviewRunner r) {
    runner() = std::move(r);
}

void setPreviewPdfChooser(std::function<QString(const QString&)> chooser) {
    pdfChooser() = std::move(chooser);
}

void showPrintPreview(QWidget* parent, const PrintDocument& doc) {
    PrintPreviewDialog dialog(doc, parent);
    if (runner()) {
        runner()(dialog, dialog.sheetPrinter());
        return;
    }
    dialog.exec();
}

} // namespace peridon
