#include "cli/CliSupport.h"

#include "cli/Commands.h"

#include "core/prediction/PredictionSettings.h"
#include "core/prediction/SettingsLocation.h"
#include "core/store/AppPaths.h"
#include "core/store/QuotedInput.h"

#include <QCommandLineParser>
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
    // One parser per command, knowing only that command's options. A word
    // with one dash is an option too (-x is an unknown option, not a file
    // name); "-" alone is a word, and "--" ends the options.
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionSpec& o : allowed)
        parser.addOption(
            QCommandLineOption(o.name.mid(2), QString(), o.takesValue() ? u"value"_s : QString()));
    const QStringList args = QStringList{u"peridon-cli"_s} + words;
    if (!parser.parse(args)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString& name = unknown.first();
            problem = u"不明なオプションです: %1"_s.arg(
                quoteInput((words.contains(u"-"_s + name) ? u"-"_s : u"--"_s) + name));
        } else {
            // The only other failure: an option without its value.
            const auto missing =
                std::find_if(allowed.begin(), allowed.end(), [&](const OptionSpec& o) {
                    return o.takesValue() && !words.isEmpty() && words.last() == o.name;
                });
            problem = u"%1 には値が必要です"_s.arg(missing != allowed.end() ? missing->name
                                                                            : parser.errorText());
        }
        return std::nullopt;
    }
    Args a;
    a.positional = parser.positionalArguments();
    for (const OptionSpec& o : allowed) {
        const QString name = o.name.mid(2);
        if (!parser.isSet(name))
            continue;
        // A second value would silently win over the first: which one the
        // user meant is unknown.
        const QStringList values = parser.values(name);
        if (values.size() > 1 || (!o.takesValue() && words.count(o.name) > 1)) {
            problem = u"%1 が2回指定されています"_s.arg(o.name);
            return std::nullopt;
        }
        if (o.takesValue() && values.first().isEmpty()) {
            problem = u"%1 の値が空です"_s.arg(o.name);
            return std::nullopt;
        }
        a.options.insert(o.name, o.takesValue() ? values.first() : QString());
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
    QString text = u"使い方:"_s;
    for (const Command& c : commandTable()) {
        text += u"\n  peridon-cli "_s + c.name;
        if (!c.words.isEmpty())
            text += u' ' + c.words;
        for (const OptionSpec& o : c.options)
            text +=
                o.takesValue() ? u" [%1 %2]"_s.arg(o.name, o.valueName) : u" [%1]"_s.arg(o.name);
    }
    return text + u"\n  peridon-cli --help\n  peridon-cli --version"_s;
}

QString versionText() {
    return u"peridon-cli " PERIDON_VERSION ""_s;
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
