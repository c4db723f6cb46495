#pragma once

#include "core/analysis/AnalysisRegistry.h"

namespace peridon {

// What sets the even/odd and the low/high pattern windows apart. Each digit
// falls in a first class (even, low) or a second one (odd, high); the two
// counts go into columns 5 and 6 and one of them picks the pattern letter.
struct ComboPatternKind {
    bool (*isFirstClass)(int digit);
    const char16_t* firstLabel;  // header of column 5
    const char16_t* secondLabel; // header of column 6
    bool letterByFirstClass;     // else the letter follows the second-class count
    Rgb firstClassDigitBack;     // background of a digit cell by its class
    Rgb secondClassDigitBack;
};

// Lists every valid draw with its digits, the counts of its two digit
// classes and a pattern letter A to D.
class ComboPatternAnalysis {
public:
    void RunAnalysis(Sheet& sheet);

protected:
    ComboPatternAnalysis(const AnalysisInput& input, const ComboPatternKind& kind)
        : m_in(input), m_kind(kind) {}
    ~ComboPatternAnalysis() = default;

private:
    void SetupGrid(Sheet& sheet, int lastRow);
    void WriteHeader(Sheet& sheet, int row);
    void FillGrid(Sheet& sheet);
    void ColourDigitCell(Sheet& sheet, int digit, int col, int row);
    void WritePatternCell(Sheet& sheet, int count, int col, int row);

    const AnalysisInput& m_in;
    const ComboPatternKind& m_kind;
};

// Even (0 included) and odd digits; the letter counts the odd ones.
class 偶数奇数の組合せパターン分析 final : public ComboPatternAnalysis {
public:
    static const ComboPatternKind kKind;
    explicit 偶数奇数の組合せパターン分析(const AnalysisInput& input)
        : ComboPatternAnalysis(input, kKind) {}
};

// Low digits 0 to 3 and high digits 4 to 9 (4 counts as high although the
// window's description says ０～４); the letter counts the low ones, and
// every digit cell gets the same colour.
class 低数字高数字の組合せパターン分析 final : public ComboPatternAnalysis {
public:
    static const ComboPatternKind kKind;
    explicit 低数字高数字の組合せパターン分析(const AnalysisInput& input)
        : ComboPatternAnalysis(input, kKind) {}
};

} // namespace peridon
