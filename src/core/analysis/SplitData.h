#pragma once

#include "core/analysis/AnalysisRegistry.h"

#include <array>

namespace peridon {

// One group of neighbouring digit values in a split window.
struct SplitGroup {
    int firstDigit;
    int lastDigit;
    const char16_t* letter; // header text over the group, with its spaces
    Rgb band;               // colour of the group's columns
};

// What sets the 3-, 5- and 10-group windows apart.
struct SplitTable {
    int groupCount;
    std::array<SplitGroup, 10> groups;
    int blueDigitBlocks; // how many blocks show their digit labels in blue
};

// Shows every valid draw as three marks on 0-to-9 scales, one scale per digit
// position, each scale divided into the lettered groups of a table.
class SplitDataAnalysis {
public:
    void RunAnalysis(Sheet& sheet);

protected:
    SplitDataAnalysis(const AnalysisInput& input, const SplitTable& table)
        : m_in(input), m_table(table) {}
    ~SplitDataAnalysis() = default;

private:
    void SetupGrid(Sheet& sheet, int lastRow);
    void WriteHeader(Sheet& sheet);
    void FillGrid(Sheet& sheet);

    const AnalysisInput& m_in;
    const SplitTable& m_table;
};

class 分割3データ分析 final : public SplitDataAnalysis {
public:
    static const SplitTable kTable;
    explicit 分割3データ分析(const AnalysisInput& input) : SplitDataAnalysis(input, kTable) {}
};

class 分割5データ分析 final : public SplitDataAnalysis {
public:
    static const SplitTable kTable;
    explicit 分割5データ分析(const AnalysisInput& input) : SplitDataAnalysis(input, kTable) {}
};

class 分割10データ分析 final : public SplitDataAnalysis {
public:
    static const SplitTable kTable;
    explicit 分割10データ分析(const AnalysisInput& input) : SplitDataAnalysis(input, kTable) {}
};

} // namespace peridon
