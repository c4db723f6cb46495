// peridon-cli's commands over the draw database: import, export, stats and
// the sample database.
#include "cli/Commands.h"
#include "core/files/Platform.h"
#include "core/history/StartupStats.h"
#include "core/store/DrawCsv.h"
#include "core/store/DrawFile.h"
#include "core/store/DrawImport.h"
#include "core/store/DrawTable.h"
#include "core/store/Generator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>

using namespace Qt::StringLiterals;

namespace peridon::cli {

namespace {

void reportImport(int added, int replaced, int unchanged) {
    writeOut(u"追加 %1 行、置き換え %2 行、変更なし %3 行\n"_s.arg(added)
                 .arg(replaced)
                 .arg(unchanged)
                 .toUtf8());
}

const QString kImportDone = u"取り込みは完了しました"_s;

// Draws left missing after the last stored one are allowed (the analyses
// treat them), but never silently.
void noteGaps(const std::vector<DrawRange>& gaps) {
    if (!gaps.empty())
        printErr(u"注意: %1がありません。このまま取り込みます。"_s.arg(missingDrawsText(gaps)));
}

std::vector<int> drawNumbers(const std::vector<CsvDraw>& draws) {
    std::vector<int> numbers;
    numbers.reserve(draws.size());
    for (const CsvDraw& d : draws)
        numbers.push_back(d.drawNo);
    return numbers;
}

} // namespace

int cmdImport(const Args& a) {
    if (a.positional.size() != 1)
        return usage(u"import には当選データのファイルを1つ指定します"_s);
    // The forms the entry window's paste reads, CSV among them.
    const DrawFile file = readDrawFile(a.positional[0]);
    if (!file.failure.isEmpty()) {
        printErr(u"取り込めません。何も書き込みませんでした。\n"_s + file.failure);
        return kFailStatus;
    }
    if (!file.errors.isEmpty()) {
        printErr(u"誤りのある行が%1行あります。何も書き込みませんでした。"_s.arg(file.errorCount));
        printErr(listLineErrors(file.errors));
        return kFailStatus;
    }
    const ConnectString cs = a.connection();
    // Scripts rely on import making the database it is pointed at; a
    // mistyped name must not do so silently. When another process made it
    // meanwhile, the draws go into that one as into any existing database.
    if (fileKindAt(cs.path) == FileKind::Missing && createDatabaseWithDraws(cs.path, file.draws)) {
        markDataWritten(kImportDone);
        noteGaps(missingDrawsAfter(0, drawNumbers(file.draws)));
        printErr(u"新しいデータベースを作成しました: %1"_s.arg(
            QDir::toNativeSeparators(QFileInfo(cs.path).absoluteFilePath())));
        reportImport(int(file.draws.size()), 0, 0);
        return 0;
    }
    Database db(cs, Database::Mode::OpenExisting);
    DrawTable table(db);
    const bool replace = a.has(u"--replace"_s);
    const ImportPlan plan = table.plan(file.draws);
    if (!replace && !plan.differing.empty()) {
        const QStringList errors = conflictErrors(plan);
        printErr(u"登録済みの回数と食い違う行が%1行あります。何も書き込みませんでした。"_s.arg(
            errors.size()));
        printErr(listLineErrors(errors));
        return kFailStatus;
    }
    if (plan.drawsToWrite(replace).empty()) {
        reportImport(0, 0, plan.identical);
        return 0;
    }
    noteGaps(missingDrawsAfter(db, plan.added));
    // The same backup as the import window makes, before the first write.
    const ImportResult r = table.writeDraws(plan.drawsToWrite(replace), replace);
    if (!r.errors.isEmpty()) {
        printErr(u"登録済みの回数と食い違う行が%1行あります。何も書き込みませんでした。"_s.arg(
            r.errors.size()));
        printErr(listLineErrors(r.errors));
        return kFailStatus;
    }
    markDataWritten(kImportDone);
    reportImport(r.added, r.replaced, plan.identical);
    return 0;
}

int cmdExport(const Args& a) {
    if (!a.positional.isEmpty())
        return extraWords(a.positional);
    Database db(a.connection(), Database::Mode::OpenExisting);
    writeOut(exportDrawCsv(db));
    return 0;
}

int cmdStats(const Args& a) {
    if (!a.positional.isEmpty())
        return extraWords(a.positional);
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
        return extraWords(a.positional);
    QString problem;
    const auto drawCount = a.integer(u"--draws"_s, 0, kMaxDrawNo, problem);
    const auto seed = a.integer(u"--seed"_s, 0, std::numeric_limits<qint64>::max(), problem);
    if (!problem.isEmpty())
        return usage(problem);
    const ConnectString cs = a.connection();
    checkNewDatabaseName(cs.path);
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
    if (!createDatabaseWithDraws(cs.path, draws))
        throwDatabaseExists(cs.path);
    markDataWritten(u"データベースの作成は完了しました"_s);
    writeOut(u"サンプルデータ %1 回分を作成しました: %2\n"_s.arg(draws.size())
                 .arg(QDir::toNativeSeparators(QFileInfo(cs.path).absoluteFilePath()))
                 .toUtf8());
    return 0;
}

} // namespace peridon::cli
