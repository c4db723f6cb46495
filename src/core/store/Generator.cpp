#include "core/store/Generator.h"

#include <random>

namespace peridon {

std::vector<GeneratedDraw> generateDraws(const GeneratorOptions& options) {
    std::vector<GeneratedDraw> out;
    if (options.draws <= 0)
        return out;
    out.reserve(std::size_t(options.draws));
    // mt19937_64 is specified exactly by the standard; taking digits by modulo
    // (not a distribution object) keeps the sequence the same everywhere.
    std::mt19937_64 rng(options.seed);
    QDate date(1994, 10, 7);
    int drawNo = 0;
    for (int i = 1; i <= options.draws; ++i) {
        ++drawNo;
        if (options.gapEvery > 0 && drawNo % options.gapEvery == 0)
            ++drawNo;
        if (drawNo > kMaxDrawNo)
            break;
        GeneratedDraw g;
        g.row.drawNo = drawNo;
        for (auto& d : g.row.digits)
            d = std::int8_t(rng() % 10);
        if (options.invalidEvery > 0 && i % options.invalidEvery == 0)
            g.row.digits[std::size_t(rng() % 3)] = -1;
        g.date = date;
        out.push_back(g);
        do {
            date = date.addDays(1);
        } while (date.dayOfWeek() > 5);
    }
    return out;
}

DrawHistory generateHistory(const GeneratorOptions& options) {
    std::vector<DrawRow> rows;
    for (const GeneratedDraw& g : generateDraws(options))
        rows.push_back(g.row);
    return DrawHistory(std::move(rows));
}

} // namespace peridon
