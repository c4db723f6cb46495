#pragma once

#include "core/sheet/SheetPrint.h"

#include <functional>

class QPrintPreviewDialog;
class QWidget;

namespace peridon {

// Opens the print preview of a window's printout: every page of the whole
// grid, with "ページ幅に合わせる" in the toolbar; printing to a printer or
// to a PDF goes through the dialog as Qt offers.
void showPrintPreview(QWidget* parent, const PrintDocument& doc);

// Tests replace running the dialog (its exec()) with their own function,
// which gets the dialog ready to preview and the printer laying out its
// pages. Pass nullptr to run the dialog again.
using PreviewRunner = std::function<void(QPrintPreviewDialog&, SheetPrinter&)>;
void setPreviewRunner(PreviewRunner runner);

} // namespace peridon
