#pragma once

#include "core/sprite_sheet.hpp"

#include <string>

namespace art {

// The generator draws the sheet the game cuts: the layout is the game's own table.
inline constexpr int kSheetWidth = sheet::width;
inline constexpr int kSheetHeight = sheet::height;

using Overlay = sheet::Overlay;
using Ground = sheet::Ground;
using Strip = sheet::Strip;

inline const auto& sheetStrips() {
    return sheet::strips;
}
const Strip& stripNamed(const std::string& name);

}  // namespace art
