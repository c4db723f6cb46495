// libFuzzer target: the readers of draw files take any bytes without
// crashing, hanging or using memory without bound, and what they accept is
// sound. Both entry points for a file's bytes are covered: the CSV reader of
// peridon-cli import and the import window's reader (CSV, then pasted-text
// forms).
#include "core/store/DrawCsv.h"
#include "core/store/DrawFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>

using namespace peridon;

namespace {

void checkDraws(const std::vector<CsvDraw>& draws) {
    for (const CsvDraw& d : draws) {
        if (d.drawNo < 1 || d.drawNo > kMaxDrawNo || d.line < 1)
            std::abort();
        for (const auto digit : d.digits)
            if (digit < -1 || digit > 9)
                std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    const CsvParse csv = parseDrawCsv(bytes);
    if (csv.errors.size() > kCsvErrorsKept || csv.errorCount < csv.errors.size())
        std::abort();
    if (!csv.unreadable && csv.errors.isEmpty() != (csv.errorCount == 0))
        std::abort();
    checkDraws(csv.draws);

    const DrawFile file = readDrawBytes(bytes);
    if (!file.failure.isEmpty() && (!file.draws.empty() || !file.errors.isEmpty()))
        std::abort();
    checkDraws(file.draws);
    // A file accepted without errors holds each draw number once.
    if (file.failure.isEmpty() && file.errors.isEmpty()) {
        std::set<int> seen;
        for (const CsvDraw& d : file.draws)
            if (!seen.insert(d.drawNo).second)
                std::abort();
    }
    return 0;
}
