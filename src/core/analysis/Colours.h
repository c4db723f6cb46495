#pragma once

#include "core/sheet/Sheet.h"

// Colours the analysis windows share.
namespace peridon::colours {

constexpr Rgb kRed = rgb(255, 0, 0);
constexpr Rgb kBlue = rgb(0, 0, 255);
using peridon::kBlack; // the same constants as Sheet.h's, so both names agree
using peridon::kWhite;
constexpr Rgb kLightYellow = rgb(255, 255, 200); // header rows, draw-number columns
constexpr Rgb kPaleCyan = rgb(222, 254, 253);    // draw-number / count columns
constexpr Rgb kLightCyan = rgb(200, 255, 255);   // highlighted result columns
constexpr Rgb kPink = rgb(255, 200, 200);
constexpr Rgb kLightGreen = rgb(200, 255, 200);
constexpr Rgb kBorderBlue = rgb(136, 196, 255); // cell borders where a colour is set
constexpr Rgb kMark = rgb(62, 158, 255);        // "●" marks and other result marks

} // namespace peridon::colours
