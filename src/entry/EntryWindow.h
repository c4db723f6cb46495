#pragma once

#include "ui/ChildHost.h"

#include <QWidget>

namespace peridon {

// Creates the winning-data entry window 当選データ入力, not yet shown.
QWidget* createEntryWindow(ChildHost& host);

} // namespace peridon
