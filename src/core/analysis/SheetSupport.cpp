#include "core/analysis/SheetSupport.h"

namespace peridon::sheets {

std::array<Sheet::TextId, 10> digitIds(Sheet& sheet) {
    std::array<Sheet::TextId, 10> ids{};
    for (int d = 0; d < 10; ++d)
        ids[std::size_t(d)] = sheet.internText(digitText(d));
    return ids;
}

Sheet::TextId NumberTexts::id(int n) {
    if (m_format < 0)
        return m_sheet.internText(m_prefix + QString::number(n) + m_suffix);
    return m_sheet.numberText(n, m_format);
}

void startSheet(Sheet& sheet, Extent size, Extent visible, ScrollBars scrollBars, Extent frozen) {
    sheet = Sheet();
    sheet.setSize(size.cols, size.rows);
    sheet.setVisibleExtent(visible.cols, visible.rows);
    sheet.setColumnHeadersVisible(false);
    sheet.setRowHeadersVisible(false);
    sheet.setScrollBars(scrollBars);
    sheet.setFrozen(frozen.cols, frozen.rows);
    sheet.setCellType(CellRange::all(), CellType::StaticText);
    sheet.setHAlign(CellRange::all(), HAlign::Center);
}

void titleBox(Sheet& sheet, Columns box, int row, int textCol, const QString& text) {
    sheet.setBorder(CellRange::block(box.first, row, box.last, row), BorderNone);
    sheet.setBorder(CellRange::block(box.first, row, box.last, row), BorderOutline);
    sheet.setOverflow(true);
    sheet.setText(textCol, row, text);
    sheet.setHAlign(CellRange::cell(textCol, row), HAlign::Left);
}

} // namespace peridon::sheets
