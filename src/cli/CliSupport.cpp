#include "cli/CliSupport.h"

#include "core/store/AppPaths.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace peridon::cli {

ConnectString Args::connection() const {
    return connectStringFor(appPaths(value(u"--db"_s)).databasePath);
}

std::optional<qint64> Args::integer(const QString& option, qint64 min, qint64 max,
                                    QString& problem) const {
    if (!has(option))
        return std::nullopt;
    bool ok = false;
    const qint64 v = value(option).toLongLong(&ok);
    if (!ok || v < min || v > max) {
        problem = u"%1 の値が正しくありません: %2"_s.arg(option, value(option));
        return std::nullopt;
    }
    return v;
}

std::optional<Args> parseArgs(const QStringList& words, const QList<OptionSpec>& allowed,
                              QString& problem) {
    Args a;
    for (int i = 0; i < words.size(); ++i) {
        const QString& w = words[i];
        if (!w.startsWith(u"--")) {
            a.positional << w;
            continue;
        }
        const auto spec = std::find_if(allowed.begin(), allowed.end(),
                                       [&](const OptionSpec& o) { return o.name == w; });
        if (spec == allowed.end()) {
            problem = u"不明なオプションです: %1"_s.arg(w);
            return std::nullopt;
        }
        if (!spec->takesValue) {
            a.options.insert(w, QString());
            continue;
        }
        if (i + 1 >= words.size()) {
            problem = u"%1 には値が必要です"_s.arg(w);
            return std::nullopt;
        }
        a.options.insert(w, words[++i]);
    }
    return a;
}

void printErr(const QString& s) {
    std::fputs(s.toUtf8().constData(), stderr);
    std::fputc('\n', stderr);
}

void printOut(const QByteArray& s) {
    std::fwrite(s.constData(), 1, std::size_t(s.size()), stdout);
}

int usage(const QString& problem) {
    if (!problem.isEmpty())
        printErr(problem);
    printErr(
        u"使い方:\n"
        "  peridon-cli init [--db PATH]\n"
        "  peridon-cli import FILE.csv [--replace] [--db PATH]\n"
        "  peridon-cli export [--db PATH]\n"
        "  peridon-cli stats [--db PATH]\n"
        "  peridon-cli sample [--draws N] [--seed S] [--db PATH]\n"
        "  peridon-cli sheet WINDOW [--reflect N] [--db PATH]\n"
        "  peridon-cli backtest [--from N] [--to M] [--reflect R,R,...|all] [--db PATH] [--json]"_s);
    return kUsageStatus;
}

} // namespace peridon::cli
