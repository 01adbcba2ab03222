#include "art/sheet_layout.hpp"

#include <stdexcept>

namespace art {

const std::vector<Strip>& sheetStrips() {
    static const std::vector<Strip> strips = {
        {"cursor", 0, 0, 32, 32, 1, Overlay::None, false},
        {"landing dust", 32, 0, 32, 32, 7, Overlay::None, false},
        {"jump dust", 256, 0, 32, 32, 7, Overlay::None, false},
        {"player", 0, 32, 32, 32, 16, Overlay::Front, true},
        {"character 2", 0, 96, 32, 32, 16, Overlay::Front, true},
        {"mushroom", 0, 160, 32, 32, 4, Overlay::Behind, false},
        {"small mushroom", 128, 160, 16, 16, 4, Overlay::Front, false},
        {"small rock", 192, 160, 16, 16, 4, Overlay::Front, false},
        {"rock", 256, 160, 32, 32, 4, Overlay::Front, false},
        {"pine tree", 128, 192, 32, 64, 4, Overlay::Behind, false},
        {"altar", 384, 192, 32, 64, 4, Overlay::Front, false},
        {"run dust", 0, 432, 32, 16, 7, Overlay::None, false},
        {"orb", 0, 448, 32, 32, 6, Overlay::Front, false},
        {"bubble", 256, 448, 64, 64, 4, Overlay::None, false},
        {"character 3", 0, 512, 32, 64, 16, Overlay::Front, true},
    };
    return strips;
}

const Strip& stripNamed(const std::string& name) {
    for (const Strip& strip : sheetStrips()) {
        if (strip.name == name) return strip;
    }
    throw std::out_of_range("no strip named " + name);
}

}  // namespace art
