// peridon-cli: the draw database and the analysis sheets from the command line.
#include "core/analysis/AnalysisRegistry.h"
#include "core/prediction/PredictionSheets.h"
#include "core/sheet/SheetJson.h"
#include "core/store/Database.h"
#include "core/store/DrawCsv.h"
#include "core/store/Generator.h"
#include "core/store/StartupStats.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

constexpr int kUsageStatus = 2;
constexpr int kFailStatus = 1;

void printErr(const QString& s) {
    std::fputs(s.toUtf8().constData(), stderr);
    std::fputc('\n', stderr);
}

void printOut(const QByteArray& s) {
    std::fwrite(s.constData(), 1, std::size_t(s.size()), stdout);
}

int usage(const QString& problem = QString()) {
    if (!problem.isEmpty())
        printErr(problem);
    printErr(u"使い方:\n"
             "  peridon-cli import FILE.csv [--replace] [--db PATH]\n"
             "  peridon-cli export [--db PATH]\n"
             "  peridon-cli stats [--db PATH]\n"
             "  peridon-cli sample [--draws N] [--seed S] [--db PATH]\n"
             "  peridon-cli sheet WINDOW [--reflect N] [--db PATH]"_s);
    return kUsageStatus;
}

// The command line after the command word: positional words and --options.
struct Args {
    QStringList positional;
    QString db;
    bool replace = false;
    std::optional<int> draws;
    std::optional<quint64> seed;
    std::optional<int> reflect;
};

// Parses the options a command allows; nullopt after printing the usage.
std::optional<Args> parseArgs(const QStringList& words, const QStringList& allowed,
                              QString& problem) {
    Args a;
    for (int i = 0; i < words.size(); ++i) {
        const QString& w = words[i];
        if (!w.startsWith(u"--")) {
            a.positional << w;
            continue;
        }
        if (!allowed.contains(w)) {
            problem = u"不明なオプションです: %1"_s.arg(w);
            return std::nullopt;
        }
        if (w == u"--replace") {
            a.replace = true;
            continue;
        }
        if (i + 1 >= words.size()) {
            problem = u"%1 には値が必要です"_s.arg(w);
            return std::nullopt;
        }
        const QString v = words[++i];
        bool ok = true;
        if (w == u"--db") {
            a.db = v;
        } else if (w == u"--draws") {
            a.draws = v.toInt(&ok);
            ok = ok && *a.draws >= 0 && *a.draws <= 32767;
        } else if (w == u"--seed") {
            a.seed = v.toULongLong(&ok);
        } else if (w == u"--reflect") {
            a.reflect = v.toInt(&ok);
            ok = ok && *a.reflect >= 0 && *a.reflect <= 10;
        }
        if (!ok) {
            problem = u"%1 の値が正しくありません: %2"_s.arg(w, v);
            return std::nullopt;
        }
    }
    return a;
}

ConnectString connectionFor(const Args& a) {
    return a.db.isEmpty() ? defaultConnectString() : connectStringFor(a.db);
}

int cmdImport(const Args& a) {
    if (a.positional.size() != 1)
        return usage(u"import には CSV ファイルを1つ指定します"_s);
    QFile file(a.positional[0]);
    if (!file.open(QIODevice::ReadOnly)) {
        printErr(u"ファイルを読めません: %1"_s.arg(a.positional[0]));
        return kFailStatus;
    }
    const CsvParse parsed = parseDrawCsv(file.readAll());
    if (!parsed.errors.isEmpty()) {
        printErr(
            u"誤りのある行が%1行あります。何も書き込みませんでした。"_s.arg(parsed.errors.size()));
        for (const QString& e : parsed.errors.mid(0, 20))
            printErr(e);
        return kFailStatus;
    }
    Database db(connectionFor(a), Database::Mode::CreateIfMissing);
    const ImportResult r = importDraws(db, parsed.draws, a.replace);
    if (!r.errors.isEmpty()) {
        printErr(u"登録済みの回数と食い違う行が%1行あります。何も書き込みませんでした。"_s.arg(
            r.errors.size()));
        for (const QString& e : r.errors.mid(0, 20))
            printErr(e);
        return kFailStatus;
    }
    printOut(u"追加 %1 行、置き換え %2 行、変更なし %3 行\n"_s.arg(r.added)
                 .arg(r.replaced)
                 .arg(r.unchanged)
                 .toUtf8());
    return 0;
}

int cmdExport(const Args& a) {
    if (!a.positional.isEmpty())
        return usage();
    Database db(connectionFor(a), Database::Mode::OpenExisting);
    printOut(exportDrawCsv(db));
    return 0;
}

int cmdStats(const Args& a) {
    if (!a.positional.isEmpty())
        return usage();
    Database db(connectionFor(a), Database::Mode::OpenExisting);
    const StartupStats s = StartupStats::compute(db.readHistory());
    QByteArray out = "{\"lastDrawNo\":" + QByteArray::number(s.lastDrawNo) + ",\"digitCount\":[";
    for (int d = 0; d < 10; ++d)
        out += (d ? "," : "") + QByteArray::number(s.digitCount[std::size_t(d)]);
    out += "],\"maxCount\":" + QByteArray::number(s.maxCount) + ",\"digitsByCount\":{";
    bool first = true;
    for (std::size_t c = 0; c < s.digitsByCount.size(); ++c) {
        if (s.digitsByCount[c].isEmpty())
            continue;
        out += (first ? "\"" : ",\"") + QByteArray::number(qulonglong(c)) + "\":\"" +
               s.digitsByCount[c].toUtf8() + "\"";
        first = false;
    }
    out += "},\"countRows\":" + QByteArray::number(s.countRows) + "}\n";
    printOut(out);
    return 0;
}

int cmdSample(const Args& a) {
    if (!a.positional.isEmpty())
        return usage();
    const ConnectString cs = connectionFor(a);
    if (QFileInfo::exists(cs.path)) {
        printErr(u"ファイルが既にあります。上書きしません: %1"_s.arg(cs.path));
        return kFailStatus;
    }
    GeneratorOptions opt;
    opt.draws = a.draws.value_or(7000);
    opt.seed = a.seed.value_or(20261208);
    std::vector<CsvDraw> draws;
    for (const GeneratedDraw& g : generateDraws(opt)) {
        CsvDraw d;
        d.drawNo = g.row.drawNo;
        d.digits = g.row.digits;
        d.date = g.date.toString(Qt::ISODate);
        draws.push_back(d);
    }
    Database db(cs, Database::Mode::CreateIfMissing);
    const ImportResult r = importDraws(db, draws, false);
    printOut(u"サンプルデータ %1 回分を作成しました: %2\n"_s.arg(r.added).arg(cs.path).toUtf8());
    return 0;
}

int cmdSheet(const Args& a) {
    const auto listWindows = [] {
        QStringList names;
        for (const AnalysisInfo& info : analysisRegistry())
            names << info.className;
        names << QString::fromUtf16(kPredictionClass);
        printErr(u"ウィンドウ名:\n  "_s + names.join(u"\n  "_s));
    };
    if (a.positional.size() != 1) {
        listWindows();
        return kUsageStatus;
    }
    const QString name = a.positional[0];
    const AnalysisInfo* info = findAnalysis(name);
    const bool prediction = name == QString::fromUtf16(kPredictionClass);
    if (!info && !prediction) {
        printErr(u"不明なウィンドウです: %1"_s.arg(name));
        listWindows();
        return kUsageStatus;
    }
    Database db(connectionFor(a), Database::Mode::OpenExisting);
    const DrawHistory history = db.readHistory();
    const StartupStats stats = StartupStats::compute(history);
    const AnalysisInput input{history, stats};
    if (prediction) {
        const std::vector<Sheet> sheets = buildPredictionSheets(input, a.reflect.value_or(-1));
        std::vector<const Sheet*> grids;
        for (const Sheet& s : sheets)
            grids.push_back(&s);
        printOut(sheetsToJson(name, QString::fromUtf16(kPredictionCaption), grids) + '\n');
        return 0;
    }
    if (a.reflect)
        return usage(u"--reflect は 一発ペリドン だけに使えます"_s);
    Sheet sheet;
    info->build(input, sheet);
    printOut(sheetsToJson(info->className, info->caption, {&sheet}) + '\n');
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList words = app.arguments().mid(1);
    if (words.isEmpty())
        return usage();
    const QString command = words.takeFirst();
    struct Command {
        const char* name;
        QStringList options;
        int (*run)(const Args&);
    };
    const Command commands[] = {
        {"import", {u"--db"_s, u"--replace"_s}, cmdImport},
        {"export", {u"--db"_s}, cmdExport},
        {"stats", {u"--db"_s}, cmdStats},
        {"sample", {u"--db"_s, u"--draws"_s, u"--seed"_s}, cmdSample},
        {"sheet", {u"--db"_s, u"--reflect"_s}, cmdSheet},
    };
    for (const Command& c : commands) {
        if (command != QLatin1String(c.name))
            continue;
        QString problem;
        const std::optional<Args> args = parseArgs(words, c.options, problem);
        if (!args)
            return usage(problem);
        try {
            return c.run(*args);
        } catch (const DbError& e) {
            printErr(e.message());
            return kFailStatus;
        }
    }
    return usage(u"不明なコマンドです: %1"_s.arg(command));
}
