#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace peridon {

// The highest draw number the program keeps: draw numbers, counters and
// grid rows were 16-bit signed integers in the original design.
inline constexpr int kMaxDrawNo = 32767;

// One row of the draw table. A row is a valid draw only when all three digits
// are present; every reader skips the others.
struct DrawRow {
    int drawNo = 0;
    std::array<std::int8_t, 3> digits{-1, -1, -1}; // -1: empty field
    // Digits outside 0..9 cannot be stored; a row holding one anyway is
    // treated like an incomplete row, so no reader can index past its tables.
    bool valid() const {
        for (const auto d : digits)
            if (d < 0 || d > 9)
                return false;
        return true;
    }
    int digit(int position) const { return digits[std::size_t(position)]; } // position 0..2
};

// The snapshot of the whole history in ascending draw-number order, taken once
// at start-up and never changed afterwards, so any number of passes can walk
// it without interfering.
class DrawHistory final {
public:
    DrawHistory() = default;
    explicit DrawHistory(std::vector<DrawRow> rows);

    const std::vector<DrawRow>& rows() const { return m_rows; }
    bool empty() const { return m_rows.empty(); }
    std::size_t size() const { return m_rows.size(); }

private:
    std::vector<DrawRow> m_rows;
};

} // namespace peridon
