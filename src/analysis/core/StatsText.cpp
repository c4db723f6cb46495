#include "analysis/core/StatsText.h"

#include <vector>

namespace peridon::stats {

namespace {
constexpr int kCached = 32768;

const std::vector<QString>& cachedNumbers() {
    static const std::vector<QString> texts = [] {
        std::vector<QString> t;
        t.reserve(kCached);
        for (int i = 0; i < kCached; ++i)
            t.push_back(QString::number(i));
        return t;
    }();
    return texts;
}
} // namespace

QString number(int n) {
    if (n >= 0 && n < kCached)
        return cachedNumbers()[std::size_t(n)];
    return QString::number(n);
}

} // namespace peridon::stats
