#pragma once

// The grid font and the font substitutions live with the sheet painter in
// the core, so that printing without widgets draws with the same fonts.
#include "core/sheet/GridFont.h"
