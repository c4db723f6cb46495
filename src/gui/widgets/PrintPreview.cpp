#include "gui/widgets/PrintPreview.h"

#include <QAction>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

PreviewRunner& runner() {
    static PreviewRunner r;
    return r;
}

} // namespace

void setPreviewRunner(PreviewRunner r) {
    runner() = std::move(r);
}

void showPrintPreview(QWidget* parent, const PrintDocument& doc) {
    SheetPrinter sheetPrinter(doc);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(doc.caption);
    printer.setPageLayout(sheetPrinter.defaultPageLayout());
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(u"PrintPreview"_s);
    dialog.setWindowTitle(u"印刷プレビュー - %1"_s.arg(doc.caption));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&sheetPrinter](QPrinter* p) { sheetPrinter.print(p); });

    if (!doc.onePage()) {
        auto* fit = new QAction(u"ページ幅に合わせる"_s, &dialog);
        fit->setObjectName(u"fitToWidth"_s);
        fit->setCheckable(true);
        fit->setChecked(sheetPrinter.fitToWidth());
        fit->setToolTip(u"表の列がすべて用紙の幅に収まるように縮小します"_s);
        auto* preview = dialog.findChild<QPrintPreviewWidget*>();
        QObject::connect(fit, &QAction::toggled, &dialog, [&sheetPrinter, preview](bool on) {
            sheetPrinter.setFitToWidth(on);
            if (preview)
                preview->updatePreview();
        });
        if (auto* toolbar = dialog.findChild<QToolBar*>()) {
            toolbar->addSeparator();
            toolbar->addAction(fit);
        }
    }
    if (runner()) {
        runner()(dialog, sheetPrinter);
        return;
    }
    dialog.exec();
}

} // namespace peridon
