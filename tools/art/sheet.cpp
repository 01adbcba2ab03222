#include "art/sheet.hpp"

#include "art/pictures.hpp"
#include "art/sheet_layout.hpp"

#include <map>
#include <stdexcept>
#include <string>

namespace art {
namespace {

const std::map<std::string, Picture>& pictures() {
    static const std::map<std::string, Picture> table = {
        {"cursor", drawCursor},
        {"landing dust", drawLandingDust},
        {"jump dust", drawJumpDust},
        {"player", drawPlayer},
        {"character 2", drawCharacter2},
        {"mushroom", drawMushroom},
        {"small mushroom", drawSmallMushroom},
        {"small rock", drawSmallRock},
        {"rock", drawRock},
        {"pine tree", drawPineTree},
        {"altar", drawAltar},
        {"run dust", drawRunDust},
        {"orb", drawOrb},
        {"bubble", drawBubble},
        {"character 3", drawCharacter3},
    };
    return table;
}

}  // namespace

sf::Image drawSheet() {
    sf::Image sheet;
    sheet.create(kSheetWidth, kSheetHeight, sf::Color::Transparent);
    for (const Strip& strip : sheetStrips()) {
        const auto found = pictures().find(strip.name);
        if (found == pictures().end())
            throw std::logic_error(std::string("no picture for ") + strip.name);
        for (int frame = 0; frame < strip.cells; ++frame) {
            const int left = strip.left + frame * strip.cellWidth;
            Cell body(sheet, left, strip.top, strip.cellWidth, strip.cellHeight);
            sf::Image scratch;
            scratch.create(static_cast<unsigned>(strip.cellWidth),
                           static_cast<unsigned>(strip.cellHeight), sf::Color::Transparent);
            Cell overlay =
                strip.overlay == Overlay::None
                    ? Cell(scratch, 0, 0, strip.cellWidth, strip.cellHeight)
                    : Cell(sheet, left, strip.overlayTop(), strip.cellWidth, strip.cellHeight);
            found->second(body, overlay, frame);
        }
    }
    return sheet;
}

}  // namespace art
