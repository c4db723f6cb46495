#include "cli/CliSupport.h"

#include "core/prediction/PredictionSettings.h"
#include "core/prediction/SettingsLocation.h"
#include "core/store/AppPaths.h"
#include "core/store/QuotedInput.h"

#include <QDir>

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
        problem = u"%1 の値が正しくありません: %2"_s.arg(option, quoteInput(value(option)));
        return std::nullopt;
    }
    return v;
}

std::optional<Args> parseArgs(const QStringList& words, const QList<OptionSpec>& allowed,
                              QString& problem) {
    Args a;
    for (int i = 0; i < words.size(); ++i) {
        const QString& w = words[i];
        // "-" alone and negative numbers are words, not options.
        const bool looksLikeOption =
            w.startsWith(u"--") || (w.size() > 1 && w[0] == u'-' && !w[1].isDigit());
        if (!looksLikeOption) {
            a.positional << w;
            continue;
        }
        const auto option = std::find_if(allowed.begin(), allowed.end(),
                                         [&](const OptionSpec& o) { return o.name == w; });
        if (option == allowed.end()) {
            problem = u"不明なオプションです: %1"_s.arg(quoteInput(w));
            return std::nullopt;
        }
        // A second value would silently win over the first: which one the
        // user meant is unknown.
        if (a.options.contains(w)) {
            problem = u"%1 が2回指定されています"_s.arg(w);
            return std::nullopt;
        }
        if (!option->takesValue) {
            a.options.insert(w, QString());
            continue;
        }
        if (i + 1 >= words.size()) {
            problem = u"%1 には値が必要です"_s.arg(w);
            return std::nullopt;
        }
        const QString& v = words[++i];
        if (v.isEmpty()) {
            problem = u"%1 の値が空です"_s.arg(w);
            return std::nullopt;
        }
        a.options.insert(w, v);
    }
    return a;
}

void noteSettingsFileProblem() {
    const QString path = settingsFilePath();
    if (path.isEmpty())
        return;
    ReflectFlags ignored{};
    const SettingsFileState state = loadSettingsFile(path, ignored);
    if (state.problem.isEmpty())
        return;
    printErr(u"注意: 予想の設定ファイルを読み取れません。%1\n%2\nファイル：%3"_s.arg(
        state.problem,
        state.read ? u"読み取れたオプションだけを使います。"_s
                   : u"オプションはすべて「反映しない」とします。"_s,
        QDir::toNativeSeparators(path)));
}

void printErr(const QString& s) {
    std::fputs(visibleText(s).toUtf8().constData(), stderr);
    std::fputc('\n', stderr);
}

QString usageText() {
    return u"使い方:\n"
           "  peridon-cli init [--db PATH]\n"
           "  peridon-cli import FILE [--replace] [--db PATH]\n"
           "  peridon-cli export [--db PATH]\n"
           "  peridon-cli stats [--db PATH]\n"
           "  peridon-cli sample [--draws N] [--seed S] [--db PATH]\n"
           "  peridon-cli sheet WINDOW [--reflect N] [--db PATH]\n"
           "  peridon-cli pdf WINDOW OUT.pdf [--reflect N] [--db PATH]\n"
           "  peridon-cli backtest [--from N] [--to M] [--reflect R,R,...|all] [--db PATH] "
           "[--json]\n"
           "  peridon-cli --help"_s;
}

bool writeOut(QByteArrayView s) {
    return std::fwrite(s.data(), 1, std::size_t(s.size()), stdout) == std::size_t(s.size()) &&
           !std::ferror(stdout);
}

int usage(const QString& problem) {
    if (!problem.isEmpty())
        printErr(problem);
    printErr(usageText());
    return kUsageStatus;
}

namespace {
// What the command had done when its report was lost; empty until it wrote.
QString g_done;
} // namespace

void markDataWritten(const QString& done) {
    g_done = done;
}

int extraWords(const QStringList& words) {
    return usage(u"余分な引数があります: %1"_s.arg(quoteInput(words.join(u' '))));
}

int finishOutput(int status) {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return status;
    if (!g_done.isEmpty()) {
        printErr(g_done + u"。結果の表示に失敗しました"
                          "（ディスクの空き不足、または出力先が閉じられました）。"_s);
        return kReportLostStatus;
    }
    printErr(
        u"出力を最後まで書き込めませんでした（ディスクの空き不足、または出力先が閉じられました）。"_s);
    return kFailStatus;
}

} // namespace peridon::cli
