// Feeds arbitrary bytes to the settings reader as the content of config.txt. Besides crashes
// and undefined behaviour it traps on any outcome the game could not start with, and on a
// result that does not survive a save and a fresh load.
#include "app/settings.hpp"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace {
constexpr unsigned desktopWidth = 1920;   // px
constexpr unsigned desktopHeight = 1080;  // px
constexpr int minWidth = 160;             // px
constexpr int minHeight = 100;            // px
constexpr int maxSide = 16384;            // px
const std::string fileName = "config.txt";
const std::string linePrefix = "skywaltz: " + fileName + ": \"";

void require(bool holds) {
    if (!holds) __builtin_trap();
}

Settings read(const std::string& text, std::string& warnings) {
    std::istringstream in(text);
    std::ostringstream out;
    Settings settings;
    readSettings(in, fileName, {desktopWidth, desktopHeight}, settings, out);
    warnings = out.str();
    return settings;
}

bool same(const Settings& a, const Settings& b) {
    return a.width == b.width && a.height == b.height && a.fullscreen == b.fullscreen &&
           a.musicVolume == b.musicVolume && a.soundVolume == b.soundVolume &&
           a.screenShake == b.screenShake && a.colorDelay == b.colorDelay &&
           a.autoResolution == b.autoResolution;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string warnings;
    const Settings settings = read(text, warnings);

    require(settings.musicVolume >= 0 && settings.musicVolume <= 100);
    require(settings.soundVolume >= 0 && settings.soundVolume <= 100);
    require(settings.width >= minWidth && settings.width <= maxSide);
    require(settings.height >= minHeight && settings.height <= maxSide);

    // Every warning is one whole line about this file.
    std::istringstream lines(warnings);
    for (std::string line; std::getline(lines, line);)
        require(line.compare(0, linePrefix.size(), linePrefix) == 0);
    require(warnings.empty() || warnings.back() == '\n');

    std::string again;
    Settings expected = settings;
    if (expected.autoResolution) {
        expected.width = static_cast<int>(desktopWidth);
        expected.height = static_cast<int>(desktopHeight);
    }
    require(same(read(writeSettings(settings), again), expected));
    require(again.empty());
    return 0;
}
