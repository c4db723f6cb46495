#pragma once

#include <QIcon>

namespace peridon {

// The program's icon (a Numbers 3 ticket) at every size it is drawn in.
QIcon applicationIcon();

// Makes the program's icon the default of every window, message box and
// dialog, in place of the toolkit's own.
void installApplicationIcon();

} // namespace peridon
