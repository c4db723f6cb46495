#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace peridon {

// One row of the draw table. A row is a valid draw only when all three digits
// are present; every reader skips the others.
struct DrawRow {
    int drawNo = 0;
    std::array<std::int8_t, 3> digits{-1, -1, -1}; // -1: empty field
    bool valid() const { return digits[0] >= 0 && digits[1] >= 0 && digits[2] >= 0; }
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
