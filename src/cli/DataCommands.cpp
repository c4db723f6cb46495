// peridon-cli's commands over the draw database: import, export, stats and
// the sample database.
#include "cli/Commands.h"
#include "core/store/DrawCsv.h"
#include "core/store/Generator.h"
#include "core/store/StartupStats.h"

#include <QFile>
#include <QFileInfo>

#include <limits>

using namespace Qt::StringLiterals;

namespace peridon::cli {

int cmdImport(const Args& a) {
    if (a.positional.size() != 1)
        return usage(u"import には CSV ファイルを1つ指定します"_s);
    const CsvParse parsed = readDrawCsvFile(a.positional[0]);
    if (parsed.unreadable) {
        printErr(parsed.errors.join(u'\n'));
        return kFailStatus;
    }
    if (parsed.errorCount > 0) {
        printErr(
            u"誤りのある行が%1行あります。何も書き込みませんでした。"_s.arg(parsed.errorCount));
        for (const QString& e : parsed.errors.mid(0, 20))
            printErr(e);
        return kFailStatus;
    }
    Database db(a.connection(), Database::Mode::CreateIfMissing);
    const ImportResult r = importDraws(db, parsed.draws, a.has(u"--replace"_s));
    if (!r.errors.isEmpty()) {
        printErr(u"登録済みの回数と食い違う行が%1行あります。何も書き込みませんでした。"_s.arg(
            r.errors.size()));
        for (const QString& e : r.errors.mid(0, 20))
            printErr(e);
        return kFailStatus;
    }
    writeOut(u"追加 %1 行、置き換え %2 行、変更なし %3 行\n"_s.arg(r.added)
                 .arg(r.replaced)
                 .arg(r.unchanged)
                 .toUtf8());
    return 0;
}

int cmdExport(const Args& a) {
    if (!a.positional.isEmpty())
        return usage();
    Database db(a.connection(), Database::Mode::OpenExisting);
    writeOut(exportDrawCsv(db));
    return 0;
}

int cmdStats(const Args& a) {
    if (!a.positional.isEmpty())
        return usage();
    Database db(a.connection(), Database::Mode::OpenExisting);
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
    writeOut(out);
    return 0;
}

int cmdSample(const Args& a) {
    if (!a.positional.isEmpty())
        return usage();
    QString problem;
    const auto drawCount = a.integer(u"--draws"_s, 0, kMaxDrawNo, problem);
    const auto seed = a.integer(u"--seed"_s, 0, std::numeric_limits<qint64>::max(), problem);
    if (!problem.isEmpty())
        return usage(problem);
    const ConnectString cs = a.connection();
    if (QFileInfo::exists(cs.path)) {
        printErr(u"ファイルが既にあります。上書きしません: %1"_s.arg(cs.path));
        return kFailStatus;
    }
    GeneratorOptions opt;
    opt.draws = int(drawCount.value_or(7000));
    opt.seed = quint64(seed.value_or(20261208));
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
    writeOut(u"サンプルデータ %1 回分を作成しました: %2\n"_s.arg(r.added).arg(cs.path).toUtf8());
    return 0;
}

} // namespace peridon::cli
