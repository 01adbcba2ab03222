#include "platform/platform.hpp"

#include <iostream>
#include <utility>

namespace {
FatalNotice fatalNotice = showFatalNotice;
}  // namespace

void reportFatal(const std::string& line) {
    std::cerr << line << '\n';
    if (fatalNotice != nullptr) fatalNotice(line);
}

FatalNotice replaceFatalNotice(FatalNotice notice) {
    return std::exchange(fatalNotice, notice);
}
