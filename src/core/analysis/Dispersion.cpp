#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

using namespace colours;

// バラツキ分析: one row per draw, one column per digit value, a mark in the
// column of each digit the draw contains; read down a column it shows how
// often and how regularly a value comes up.
class バラツキ分析 final {
public:
    explicit バラツキ分析(const AnalysisInput& in) : m_in(in) {}

    void RunAnalysis(Sheet& sheet) {
        m_sheet = &sheet;
        SetupGrid();
        WriteHeader();
        FillGrid();
    }

private:
    void SetupGrid() {
        Sheet& s = *m_sheet;
        const int last = m_in.stats.lastDrawNo + 3;
        sheets::startSheet(s, {12, last}, {12, 52}, ScrollBars::Vertical, {0, 2});

        s.setRowHeight(-1, 10);
        s.setRowHeight(1, 15);
        s.setRowHeight(2, 15);
        s.setColWidth(-1, 2);
        s.setColWidth(1, 5);
        s.setColWidth(12, 5);

        s.setBorder(2, 1, 11, 1, BorderOutline, kBorderBlue);
        s.setBorder(1, 1, 1, 1, BorderRight, kBorderBlue);

        s.setOverflow(true);
        s.setForeColor(6, 1, 6, 1, kBlue);
        s.setText(6, 1, u"    当  選  数　字"_s);
        s.setHAlign(6, 1, 6, 1, HAlign::Center);

        s.setBackColor(2, 1, 11, 1, kPaleCyan);
        for (int c : {1, 12}) {
            s.setForeColor(c, -1, c, -1, kRed);
            s.setBackColor(c, -1, c, -1, kLightYellow);
        }
        s.setBorder(-1, 2, -1, last, BorderAll, kBorderBlue);

        s.setActiveCell(0, 0);
    }

    // The label row above the first draw and again below the last one.
    void WriteHeader() {
        Sheet& s = *m_sheet;
        for (int row : {2, m_in.stats.lastDrawNo + 3}) {
            s.setCellType(1, row, 1, row, CellType::StaticText);
            s.setHAlign(1, row, 1, row, HAlign::Center);
            s.setText(1, row, u"回"_s);
            for (int v = 0; v <= 9; ++v)
                s.setText(v + 2, row, QString::number(v));
            s.setText(12, row, u"回"_s);
            s.setForeColor(2, row, 11, row, kBlue);
            s.setCellType(2, row, 11, row, CellType::StaticText);
            s.setHAlign(2, row, 11, row, HAlign::Center);
            s.setBackColor(2, row, 11, row, kPaleCyan);
        }
    }

    void FillGrid() {
        Sheet& s = *m_sheet;
        const Sheet::TextId mark = s.internText(u"●"_s);
        sheets::NumberTexts numbers(s);
        int row = 3;
        for (const DrawRow& draw : m_in.history.rows()) {
            if (!draw.valid())
                continue;
            numbers.write(1, row, draw.drawNo);
            numbers.write(12, row, draw.drawNo);
            for (int k = 0; k < 3; ++k)
                s.setTextId(draw.digit(k) + 2, row, mark);
            for (int k = 0; k < 3; ++k) {
                const int c = draw.digit(k) + 2;
                s.setForeColor(c, row, c, row, kMark);
            }
            ++row;
        }
    }

    const AnalysisInput& m_in;
    Sheet* m_sheet = nullptr;
};

} // namespace

void builders::dispersion(const AnalysisInput& in, Sheet& sheet) {
    バラツキ分析(in).RunAnalysis(sheet);
}

} // namespace peridon
