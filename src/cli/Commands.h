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
int cmdBacktest(const Args& a);

} // namespace peridon::cli
