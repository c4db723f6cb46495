#pragma once

#include "core/history/DrawHistory.h"
#include "core/history/StartupStats.h"

namespace peridon {

// What a window computes from: the start-up snapshot and its statistics.
struct AnalysisInput {
    const DrawHistory& history;
    const StartupStats& stats;
};

} // namespace peridon
