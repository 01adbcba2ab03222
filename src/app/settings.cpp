#include "app/settings.hpp"

#include <algorithm>
#include <cctype>
#include <climits>
#include <istream>
#include <optional>
#include <ostream>
#include <sstream>

namespace {
constexpr int minWidth = 160;    // px; smaller windows cannot show the world
constexpr int minHeight = 100;   // px
constexpr int maxSide = 16384;   // px; beyond what any render texture can hold
constexpr int minVolume = 0;
constexpr int maxVolume = 100;

// Reads like std::stoi: optional sign, digits, anything after the digits ignored.
std::optional<int> parseInt(const std::string& word) {
    size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) negative = word[i++] == '-';
    if (i >= word.size() || !std::isdigit(static_cast<unsigned char>(word[i]))) return std::nullopt;
    long long value = 0;
    for (; i < word.size() && std::isdigit(static_cast<unsigned char>(word[i])); ++i) {
        value = value * 10 + (word[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > INT_MAX || value < INT_MIN) return std::nullopt;
    return static_cast<int>(value);
}

class Reader {
public:
    Reader(std::istream& in, const std::string& fileName, std::ostream& warnings)
        : in_(in), fileName_(fileName), warnings_(warnings) {}

    bool nextWord(std::string& word) { return static_cast<bool>(in_ >> word); }

    // The value word of `key`, or nothing (reported) at the end of the file.
    std::optional<std::string> value(const std::string& key) {
        std::string word;
        if (nextWord(word)) return word;
        warn(key, "(nothing)", "a value is missing");
        return std::nullopt;
    }

    std::optional<int> integer(const std::string& key) {
        const std::optional<std::string> word = value(key);
        if (!word) return std::nullopt;
        std::optional<int> number = parseInt(*word);
        if (!number) warn(key, *word, "it is not a whole number");
        return number;
    }

    void volume(const std::string& key, int& target) {
        const std::optional<int> number = integer(key);
        if (!number) return;
        target = std::clamp(*number, minVolume, maxVolume);
        if (target != *number) warn(key, std::to_string(*number), "volumes run from 0 to 100");
    }

    void resolution(const std::string& key, sf::Vector2u desktop, Settings& settings) {
        const std::optional<std::string> first = value(key);
        if (!first) return;
        if (*first == "auto") {
            settings.width = static_cast<int>(desktop.x);
            settings.height = static_cast<int>(desktop.y);
            settings.autoResolution = true;
            return;
        }
        const std::optional<int> width = parseInt(*first);
        if (!width) {
            warn(key, *first, "it is neither \"auto\" nor a width");
            return;
        }
        const std::optional<int> height = integer(key);
        if (!height) return;
        if (*width < minWidth || *height < minHeight || *width > maxSide || *height > maxSide) {
            warn(key, std::to_string(*width) + " " + std::to_string(*height),
                 "a resolution runs from 160 x 100 to 16384 x 16384");
            return;
        }
        settings.width = *width;
        settings.height = *height;
        settings.autoResolution = false;
    }

    void warn(const std::string& key, const std::string& word, const std::string& why) {
        warnings_ << "skywaltz: " << fileName_ << ": ignoring \"" << key << " " << word
                  << "\": " << why << "; keeping the previous value\n";
    }

private:
    std::istream& in_;
    const std::string& fileName_;
    std::ostream& warnings_;
};

const char* onOff(bool on) { return on ? "on" : "off"; }
}  // namespace

void readSettings(std::istream& in, const std::string& fileName, sf::Vector2u desktopSize,
                  Settings& settings, std::ostream& warnings) {
    Reader reader(in, fileName, warnings);
    std::string key;
    while (reader.nextWord(key)) {
        if (key == "music:") {
            reader.volume(key, settings.musicVolume);
        } else if (key == "sounds:") {
            reader.volume(key, settings.soundVolume);
        } else if (key == "colordelay:") {
            if (std::optional<int> delay = reader.integer(key)) settings.colorDelay = *delay;
        } else if (key == "fullscreen:") {
            if (std::optional<std::string> word = reader.value(key)) settings.fullscreen = *word == "on";
        } else if (key == "screenshake:") {
            if (std::optional<std::string> word = reader.value(key)) settings.screenShake = *word == "on";
        } else if (key == "resolution:") {
            reader.resolution(key, desktopSize, settings);
        }
    }
}

std::string writeSettings(const Settings& s) {
    std::ostringstream out;
    out << "resolution: ";
    if (s.autoResolution)
        out << "auto";
    else
        out << s.width << " " << s.height;
    out << "\nmusic: " << s.musicVolume << "\nsounds: " << s.soundVolume
        << "\nfullscreen: " << onOff(s.fullscreen) << "\nscreenshake: " << onOff(s.screenShake)
        << "\ncolordelay: " << s.colorDelay;
    return out.str();
}
