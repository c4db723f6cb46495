#pragma once

#include "core/sheet/SheetPrint.h"

#include <QDialog>
#include <QPageLayout>
#include <QPrinter>

#include <functional>

class QAction;
class QLabel;
class QToolBar;

namespace peridon {

class PreviewPages;

// The print preview of a window's printout: every page of the whole grid,
// shown one under the other. Only the pages in view are painted, when they
// come into view, so the first page shows at once however many pages the
// grid takes. The toolbar prints (through the system's print dialog), saves
// a PDF, turns the paper and, for a grid, switches "印刷: 用紙の幅に合わせる".
class PrintPreviewDialog final : public QDialog {
    Q_OBJECT
public:
    PrintPreviewDialog(const PrintDocument& doc, QWidget* parent = nullptr);
    ~PrintPreviewDialog() override;

    SheetPrinter& sheetPrinter() { return m_sheetPrinter; }
    QPrinter& printer() { return m_printer; }
    const QPageLayout& pageLayout() const { return m_layout; }
    int pageCount() const { return m_sheetPrinter.pageCount(); }
    // Pages painted since the dialog opened (each time one is drawn).
    int paintedPages() const;
    QWidget* pagesView() const;

    void setOrientation(QPageLayout::Orientation orientation);
    void setFitToWidth(bool on);
    // Prints through the print dialog; saves a PDF under a name asked for.
    void printPages();
    void savePdf();

private:
    QToolBar* createToolBar();
    void addPaperActions(QToolBar* toolbar);
    void addZoomActions(QToolBar* toolbar);
    void repaginate();
    void updatePageLabel();

    const PrintDocument& m_doc;
    SheetPrinter m_sheetPrinter;
    QPrinter m_printer;
    QPageLayout m_layout;
    PreviewPages* m_pages = nullptr;
    QLabel* m_pageLabel = nullptr;
    QAction* m_portrait = nullptr;
    QAction* m_landscape = nullptr;
};

// Opens the print preview of a window's printout (modal).
void showPrintPreview(QWidget* parent, const PrintDocument& doc);

// Tests replace running the dialog (its exec()) with their own function,
// which gets the dialog ready to show and the printer laying out its pages.
// Pass nullptr to run the dialog again.
using PreviewRunner = std::function<void(PrintPreviewDialog&, SheetPrinter&)>;
void setPreviewRunner(PreviewRunner runner);

// Tests answer the PDF file dialog with this (empty: cancelled); nullptr
// restores the dialog.
void setPreviewPdfChooser(std::function<QString(const QString& suggested)> chooser);

} // namespace peridon
