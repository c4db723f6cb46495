#pragma once

// What every peridon-cli command shares: the parsed command line, output to
// the standard streams, and the exit statuses.
#include "core/store/Database.h"

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace peridon::cli {

inline constexpr int kFailStatus = 1;
inline constexpr int kUsageStatus = 2;
// The data was written, but the report of it could not be (a full disk, a
// closed pipe): a script must not take the command for failed and run it
// again blind.
inline constexpr int kReportLostStatus = 3;

// The words after the command word: positional words, and the --options the
// command allows with their values (an empty value for a flag).
struct Args {
    QStringList positional;
    QHash<QString, QString> options;

    bool has(const QString& option) const { return options.contains(option); }
    QString value(const QString& option) const { return options.value(option); }
    // The database given with --db, or the one in the data folder
    // (portable or per-user).
    ConnectString connection() const;
    // The value of option as a whole number in [min, max]; nullopt when it is
    // absent. Sets problem and returns nullopt when it is not such a number.
    std::optional<qint64> integer(const QString& option, qint64 min, qint64 max,
                                  QString& problem) const;
};

// One option a command accepts: "--db" with the name of its value in the
// usage ("PATH"), or a flag without a value.
struct OptionSpec {
    QString name;
    QString valueName;
    bool takesValue() const { return !valueName.isEmpty(); }
};

// Parses words against the options a command allows; nullopt with problem set
// when an option is unknown or lacks its value.
std::optional<Args> parseArgs(const QStringList& words, const QList<OptionSpec>& allowed,
                              QString& problem);

// A line of text on standard error. Control characters in it (from a file
// name or a line of a file) are shown as escapes, never sent to the
// terminal.
void printErr(const QString& s);
// Bytes on standard output, as they are; false when they could not be
// written (a full disk, a closed pipe). A failed write is also reported by
// finishOutput at the end of the program, so callers may ignore the result.
bool writeOut(QByteArrayView s);
// The usage lines, made from the command table.
QString usageText();
// "peridon-cli 1.10".
QString versionText();
// Prints problem (when given) and the usage on standard error; returns
// kUsageStatus.
int usage(const QString& problem = QString());
// Says on standard error when the settings file whose options the prediction
// uses could not be wholly read (only the options read from it are used), or
// when what stands under its name is not a regular file. peridon-cli never
// writes that file.
void noteSettingsFileProblem();
// Says that the command has changed data (a database made or written), so
// that output lost afterwards is told apart from a failed command.
// done is what is told then ("取り込みは完了しました").
void markDataWritten(const QString& done);
// Flushes standard output. Returns status unchanged when everything written
// reached it; otherwise says so on standard error and returns kFailStatus, or
// kReportLostStatus when the data had been written.
int finishOutput(int status);
// Prints the usage for words the command does not take ("余分な引数です").
int extraWords(const QStringList& words);

} // namespace peridon::cli
