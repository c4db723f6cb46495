#pragma once

#include "analysis/core/AnalysisRegistry.h"
#include "ui/ChildHost.h"

#include <QWidget>

namespace peridon {

// Creates the analysis window of one registry entry, not yet shown. It
// computes its sheet while it loads and reports through host.setPropEnd.
QWidget* createAnalysisWindow(const AnalysisInfo& info, ChildHost& host);

} // namespace peridon
