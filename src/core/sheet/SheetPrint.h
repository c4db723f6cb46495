#pragma once

#include "core/sheet/Sheet.h"
#include "core/sheet/SheetPainter.h"

#include <QDate>
#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace peridon {

// What a window prints: its grids (each with an optional caption line above
// it), optional note lines above them, and what the footer tells.
struct PrintDocument {
    struct Grid {
        const Sheet* sheet = nullptr;
        QString caption;
    };
    QString caption;    // the window's caption, in every page's footer
    int lastDrawNo = 0; // the last draw number in the database
    QDate printDate = QDate::currentDate();
    // The footer's text size in screen pixels (12 px is 9 points): the
    // windows' grids print with a smaller footer than a one-page report.
    int footerPixels = 10;
    QStringList notes;
    std::vector<Grid> grids;
    // A picture below the grids (a chart), drawn into a rectangle of
    // figureSize screen pixels; only on a one-page printout.
    std::function<void(QPainter&, const QRectF&)> figure;
    QSizeF figureSize;
    // One grid is split over as many pages as it needs; several grids (the
    // prediction window) or a figure are drawn together on one page, scaled
    // to fit it.
    bool onePage() const { return grids.size() != 1 || bool(figure); }
};

// Lays a PrintDocument out on pages and paints them. A grid's rows and
// columns are split over pages, the frozen header rows and columns repeat on
// every page, a row is never cut between pages, and every page gets a
// footer. Cells are painted by the same SheetPainter as on screen, in screen
// pixels (96 per inch) scaled to the device.
class SheetPrinter final {
public:
    explicit SheetPrinter(const PrintDocument& doc);

    // Scales a grid down so that all its columns fit the page width (on by
    // default); off, columns are split over pages too.
    void setFitToWidth(bool on) { m_fitToWidth = on; }
    bool fitToWidth() const { return m_fitToWidth; }

    // Portrait when the grid fits a portrait page's width at full size,
    // otherwise landscape.
    QPageLayout::Orientation preferredOrientation(const QPageLayout& layout) const;
    // The A4 layout with 10 mm margins in the preferred orientation.
    QPageLayout defaultPageLayout() const;

    // One page: the rows and columns of the grid it shows below and beside
    // the frozen ones.
    struct Page {
        int firstRow = 1, lastRow = 0, firstCol = 1, lastCol = 0;
    };
    // Computes the pages for a printable area of the given size in points.
    void paginate(const QSizeF& printablePt);
    const std::vector<Page>& pages() const { return m_pages; }
    int pageCount() const { return int(m_pages.size()); }
    // Footer texts of a page (0-based): left, centre, right.
    QStringList footer(int index) const;

    // Paints one page (0-based) onto a painter whose device has the printable
    // area paginate() was given, at the device's resolution dpi.
    void paintPage(QPainter& painter, int index, const QRect& deviceRect, int dpi) const;

    // Paints every page onto the device, one after the other, so that pages
    // are not held in memory. False when the device cannot be painted on.
    bool print(QPagedPaintDevice* device);

private:
    double fitScale(double availableWidthPx) const;
    void paintGridPage(QPainter& p, int index, const QRectF& area) const;
    void paintOnePage(QPainter& p, const QRectF& area) const;
    double footerHeightPx() const;
    QSizeF onePageSizePx() const;

    const PrintDocument& m_doc;
    std::vector<SheetPainter> m_painters;
    QFont m_font;
    bool m_fitToWidth = true;
    double m_scale = 1; // grid pixels to page pixels, from fitting
    std::vector<Page> m_pages;
};

// Writes the document as a PDF file. The file is written under a temporary
// name and renamed when complete, so a failure leaves nothing half-written.
// On failure returns false with error set to a message for the user.
bool writePdf(const PrintDocument& doc, const QString& path, QString& error);
// The same with the pages of a printer already set up (its fitting) on a
// given page layout.
bool writePdf(SheetPrinter& printer, const QPageLayout& layout, const QString& title,
              const QString& path, QString& error);

} // namespace peridon
