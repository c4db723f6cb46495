// peridon-cli: the draw database and the analysis sheets from the command line.
#include "cli/Commands.h"
#include "core/prediction/SettingsLocation.h"
#include "core/store/AppPaths.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;
using namespace peridon;
using namespace peridon::cli;

namespace {

bool makesItsOwnDatabase(const QString& command) {
    return command == u"sample"_s || command == u"init"_s;
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
        QList<OptionSpec> options;
        int (*run)(const Args&);
    };
    const OptionSpec db{u"--db"_s};
    const Command commands[] = {
        {"init", {db}, cmdInit},
        {"import", {db, {u"--replace"_s, false}}, cmdImport},
        {"export", {db}, cmdExport},
        {"stats", {db}, cmdStats},
        {"sample", {db, {u"--draws"_s}, {u"--seed"_s}}, cmdSample},
        {"sheet", {db, {u"--reflect"_s}}, cmdSheet},
        {"backtest",
         {db, {u"--from"_s}, {u"--to"_s}, {u"--reflect"_s}, {u"--json"_s, false}},
         cmdBacktest},
    };
    for (const Command& c : commands) {
        if (command != QLatin1String(c.name))
            continue;
        QString problem;
        const std::optional<Args> args = parseArgs(words, c.options, problem);
        if (!args)
            return usage(problem);
        try {
            const AppPaths paths = appPaths(args->value(u"--db"_s));
            setSettingsFolder(paths.dataFolder);
            // Without --db: the commands that make a database of their own
            // start from none; the others find the per-user database, made on
            // first use. A --db file is the user's: nothing else is made.
            if (!paths.databaseGiven) {
                if (makesItsOwnDatabase(command))
                    prepareDataFolder(paths);
                else if (prepareDatabase(paths))
                    printErr(firstStartMessage(paths));
            }
            return c.run(*args);
        } catch (const DbError& e) {
            printErr(e.message());
            return kFailStatus;
        }
    }
    return usage(u"不明なコマンドです: %1"_s.arg(command));
}
