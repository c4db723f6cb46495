// peridon-cli: the draw database and the analysis sheets from the command line.
#include "cli/Commands.h"
#include "core/files/Platform.h"
#include "core/prediction/SettingsLocation.h"
#include "core/store/AppPaths.h"
#include "core/store/QuotedInput.h"

#include "core/sheet/GridFont.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstring>
#include <memory>

using namespace Qt::StringLiterals;
using namespace peridon;
using namespace peridon::cli;

namespace {

int run(QStringList words);

// Commands that draw text need fonts, and so a GUI application object; the
// others stay on the plain core one. Without a display (a server, a script)
// the offscreen platform draws just as well, unless a platform was chosen.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv) {
    const bool draws = argc > 1 && std::strcmp(argv[1], "pdf") == 0;
    if (!draws)
        return std::make_unique<QCoreApplication>(argc, argv);
#ifndef Q_OS_WIN
    bool platformArg = false;
    for (int i = 1; i < argc; ++i)
        platformArg = platformArg || std::strcmp(argv[i], "-platform") == 0;
    if (!platformArg && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    auto app = std::make_unique<QGuiApplication>(argc, argv);
    installFontSubstitutions();
    return app;
}

bool makesItsOwnDatabase(const QString& command) {
    return command == u"sample"_s || command == u"init"_s;
}

} // namespace

namespace peridon::cli {

const QList<Command>& commandTable() {
    const OptionSpec db{u"--db"_s, u"PATH"_s};
    const OptionSpec reflect{u"--reflect"_s, u"N"_s};
    static const QList<Command> table{
        {u"init"_s, {}, {db}, cmdInit},
        {u"import"_s, u"FILE"_s, {{u"--replace"_s, {}}, db}, cmdImport},
        {u"export"_s, {}, {db}, cmdExport},
        {u"stats"_s, {}, {db}, cmdStats},
        {u"sample"_s, {}, {{u"--draws"_s, u"N"_s}, {u"--seed"_s, u"S"_s}, db}, cmdSample},
        {u"sheet"_s, u"WINDOW"_s, {reflect, db}, cmdSheet},
        {u"pdf"_s, u"WINDOW OUT.pdf"_s, {reflect, db}, cmdPdf},
        {u"backtest"_s,
         {},
         {{u"--from"_s, u"N"_s},
          {u"--to"_s, u"M"_s},
          {u"--reflect"_s, u"R,R,...|all"_s},
          db,
          {u"--json"_s, {}}},
         cmdBacktest},
    };
    return table;
}

} // namespace peridon::cli

int main(int argc, char** argv) {
    setUpStandardStreams();
#ifdef Q_OS_WIN
    // Qt sends its own messages (a platform plugin that cannot be loaded, a
    // fatal error) to the debugger instead of standard error when the
    // process has no console window, as under a scheduler or a service: a
    // command-line program must show them where its other messages go.
    if (qEnvironmentVariableIsEmpty("QT_FORCE_STDERR_LOGGING"))
        qputenv("QT_FORCE_STDERR_LOGGING", "1");
#endif
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);
    const int status = run(app->arguments().mid(1));
    // Output cut short is a failure even when the command itself went well.
    return finishOutput(status);
}

namespace {

int run(QStringList words) {
    if (words.isEmpty())
        return usage();
    if (words.contains(u"--help"_s) || words.contains(u"-h"_s)) {
        writeOut(usageText().toUtf8() + '\n');
        return 0;
    }
    if (words.first() == u"--version"_s) {
        writeOut(versionText().toUtf8() + '\n');
        return 0;
    }
    const QString command = words.takeFirst();
    for (const Command& c : commandTable()) {
        if (command != c.name)
            continue;
        QString problem;
        const std::optional<Args> args = parseArgs(words, c.options, problem);
        if (!args)
            return usage(problem);
        try {
            const AppPaths paths = appPaths(args->value(u"--db"_s));
            setSettingsFolder(paths.settingsFolder);
            for (const QString& warning : sharedPlaceWarnings(paths))
                printErr(u"注意: "_s + warning);
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
    return usage(u"不明なコマンドです: %1"_s.arg(quoteInput(command)));
}

} // namespace
