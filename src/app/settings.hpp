#pragma once

#include <SFML/System/Vector2.hpp>

#include <cstddef>
#include <iosfwd>
#include <string>

// The values of "config.txt".
struct Settings {
    int width = 480;
    int height = 320;
    bool fullscreen = true;
    int musicVolume = 100;
    int soundVolume = 100;
    bool screenShake = true;
    int colorDelay = 1;
    bool autoResolution = true;
    // The pointer toward the errand's target.
    bool hints = true;
};

// Reads settings word by word into `settings`, which holds the defaults (or earlier values)
// on entry. A value that cannot be read, or a resolution the window cannot have, leaves its
// setting as it was; a volume outside 0-100 is clamped. Each is reported on `warnings`, one
// line naming `fileName`, the key and the value.
void readSettings(std::istream& in, const std::string& fileName, sf::Vector2u desktopSize,
                  Settings& settings, std::ostream& warnings);

// The most of a settings file that is read, in bytes; a real one is under 200.
constexpr std::size_t settingsFileLimit = 16u << 20;

// Reads the whole settings file at `path` into `text`; false when there is nothing to read
// and the defaults stand. A missing or unreadable file says nothing. Anything but a regular
// file (a FIFO, a device, a folder) and a file larger than `limit` bytes are reported on
// `warnings` in one line and not read.
bool readSettingsFile(const std::string& path, std::string& text, std::ostream& warnings,
                      std::size_t limit = settingsFileLimit);

// The canonical six-line layout, without a line end after the last line; "hints: off" follows
// as a seventh line when the hints are off.
std::string writeSettings(const Settings& settings);
