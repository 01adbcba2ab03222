#pragma once

#include <string>
#include <vector>

namespace art {

inline constexpr int kSheetWidth = 512;   // px
inline constexpr int kSheetHeight = 640;  // px

enum class Overlay {
    None,
    Front,   // second-colour cell drawn over the body
    Behind,  // second-colour cell drawn under the body
};

// One animation on the sheet: `frames` cells side by side from (left, top).
// A second-colour overlay, when there is one, is the same strip one cell lower.
struct Strip {
    std::string name;
    int left;
    int top;
    int cellWidth;
    int cellHeight;
    int frames;
    Overlay overlay;
    bool walker;  // idle 0-3, running 4-9, spacing 10-15

    int overlayTop() const { return top + cellHeight; }
};

const std::vector<Strip>& sheetStrips();
const Strip& stripNamed(const std::string& name);

}  // namespace art
