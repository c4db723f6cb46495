// libFuzzer target: the readers of draw files take any bytes without
// crashing, hanging or using memory without bound, and what they accept is
// sound. Every entry point for a draw file's bytes or pasted text is covered:
// the CSV reader, the reader of peridon-cli import and the import window (CSV,
// then the pasted-text forms), and the pasted-text reader itself. Every
// message quotes the input without a control character in it.
#include "core/store/DrawCsv.h"
#include "core/store/DrawFile.h"
#include "core/store/DrawTextParser.h"
#include "core/store/QuotedInput.h"

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

// A message may hold line breaks of its own, never another control
// character from the input.
void checkMessages(const QStringList& messages) {
    for (const QString& m : messages)
        for (const QChar c : m)
            if ((c.unicode() < 0x20 && c != u'\n') || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
                std::abort();
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
    checkMessages(csv.errors);

    const QString text = QString::fromUtf8(bytes);
    const CsvParse pasted = parseDrawText(text);
    checkDraws(pasted.draws);
    checkMessages(pasted.errors);
    checkMessages({quoteInput(text)});

    const DrawFile file = readDrawBytes(bytes);
    if (!file.failure.isEmpty() && (!file.draws.empty() || !file.errors.isEmpty()))
        std::abort();
    checkDraws(file.draws);
    checkMessages(file.errors);
    // A file accepted without errors holds each draw number once.
    if (file.failure.isEmpty() && file.errors.isEmpty()) {
        std::set<int> seen;
        for (const CsvDraw& d : file.draws)
            if (!seen.insert(d.drawNo).second)
                std::abort();
    }
    return 0;
}
