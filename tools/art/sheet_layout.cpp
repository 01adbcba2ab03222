#include "art/sheet_layout.hpp"

#include <stdexcept>

namespace art {

const Strip& stripNamed(const std::string& name) {
    for (const Strip& strip : sheetStrips()) {
        if (strip.name == name) return strip;
    }
    throw std::out_of_range("no strip named " + name);
}

}  // namespace art
