#pragma once

// The commands of peridon-cli, one function each; main() picks one by name.
#include "cli/CliSupport.h"

namespace peridon::cli {

int cmdInit(const Args& a);
int cmdImport(const Args& a);
int cmdExport(const Args& a);
int cmdStats(const Args& a);
int cmdSample(const Args& a);
int cmdSheet(const Args& a);
int cmdPdf(const Args& a);
int cmdBacktest(const Args& a);

// A command: its name, the words it takes (for the usage), the options its
// parser knows, in the order the usage shows them, and what runs it.
struct Command {
    QString name;
    QString words;
    QList<OptionSpec> options;
    int (*run)(const Args&);
};

// Every command; the usage text is made from this table.
const QList<Command>& commandTable();

} // namespace peridon::cli
