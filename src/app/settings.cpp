#include "app/settings.hpp"

#include "platform/files.hpp"

#include <algorithm>
#include <cctype>
#include <climits>
#include <istream>
#include <optional>
#include <ostream>
#include <sstream>
#include <utility>

namespace {
constexpr int minWidth = 160;   // px; smaller windows cannot show the world
constexpr int minHeight = 100;  // px
constexpr int maxSide = 16384;  // px; beyond what any render texture can hold
constexpr int minVolume = 0;    // percent
constexpr int maxVolume = 100;  // percent

const char* const knownKeys[] = {"music:",       "sounds:",     "colordelay:", "fullscreen:",
                                 "screenshake:", "resolution:", "hints:"};

bool isKnownKey(const std::string& word) {
    return std::find(std::begin(knownKeys), std::end(knownKeys), word) != std::end(knownKeys);
}

enum class Parsed { ok, noDigits, outOfRange };

// Reads like std::stoi: optional sign, digits, anything after the digits ignored.
Parsed parseInt(const std::string& word, int& result) {
    size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) negative = word[i++] == '-';
    if (i >= word.size() || !std::isdigit(static_cast<unsigned char>(word[i])))
        return Parsed::noDigits;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (; i < word.size() && std::isdigit(static_cast<unsigned char>(word[i])); ++i) {
        value = value * 10 + (word[i] - '0');
        if (value > limit) return Parsed::outOfRange;
    }
    result = static_cast<int>(negative ? -value : value);
    return Parsed::ok;
}

std::string joined(const std::string& before, const std::string& value) {
    return before.empty() ? value : before + " " + value;
}

const char* onOff(bool on) {
    return on ? "on" : "off";
}

class Reader {
public:
    Reader(std::istream& in, const std::string& fileName, std::ostream& warnings)
        : in_(in), fileName_(fileName), warnings_(warnings) {}

    bool nextWord(std::string& word) {
        if (pending_) {
            word = std::move(*pending_);
            pending_.reset();
            return true;
        }
        return static_cast<bool>(in_ >> word);
    }

    // The value word of `key`; at the end of the file there is none (reported).
    std::optional<std::string> word(const std::string& key, const std::string& kept) {
        std::string value;
        if (nextWord(value)) return value;
        missing(key, "", kept);
        return std::nullopt;
    }

    // A numeric value. A known key where the number should be is left for the loop, so a
    // forgotten value costs only its own setting.
    // `before` is the part of the value already read (a resolution's width).
    std::optional<int> integer(const std::string& key, const std::string& kept,
                               const std::string& before = "") {
        std::string value;
        const bool read = nextWord(value);
        if (!read || isKnownKey(value)) {
            if (read) pending_ = value;
            missing(key, before, kept);
            return std::nullopt;
        }
        int number = 0;
        switch (parseInt(value, number)) {
            case Parsed::ok:
                return number;
            case Parsed::noDigits:
                bad(key, joined(before, value), "not a whole number", "keeping " + kept);
                break;
            case Parsed::outOfRange:
                bad(key, joined(before, value), "too large a number", "keeping " + kept);
                break;
        }
        return std::nullopt;
    }

    void volume(const std::string& key, int& target) {
        const std::optional<int> number = integer(key, std::to_string(target));
        if (!number) return;
        target = std::clamp(*number, minVolume, maxVolume);
        if (target != *number)
            bad(key, std::to_string(*number), "volumes run from 0 to 100",
                "using " + std::to_string(target));
    }

    void resolution(const std::string& key, sf::Vector2u desktop, Settings& settings) {
        const std::string kept =
            std::to_string(settings.width) + " x " + std::to_string(settings.height);
        std::string first;
        if (!nextWord(first)) {
            missing(key, "", kept);
            return;
        }
        if (first == "auto") {
            settings.width = static_cast<int>(desktop.x);
            settings.height = static_cast<int>(desktop.y);
            settings.autoResolution = true;
            return;
        }
        pending_ = first;
        const std::optional<int> width = integer(key, kept);
        if (!width) return;
        const std::optional<int> height = integer(key, kept, first);
        if (!height) return;
        if (*width < minWidth || *height < minHeight || *width > maxSide || *height > maxSide) {
            bad(key, first + " " + std::to_string(*height),
                "a resolution runs from 160 x 100 to 16384 x 16384", "keeping " + kept);
            return;
        }
        settings.width = *width;
        settings.height = *height;
        settings.autoResolution = false;
    }

private:
    void bad(const std::string& key, const std::string& value, const std::string& why,
             const std::string& outcome) {
        warnings_ << "skywaltz: " << fileName_ << ": \"" << key << "\" has the bad value \""
                  << value << "\" (" << why << "); " << outcome << "\n";
    }

    void missing(const std::string& key, const std::string& before, const std::string& kept) {
        warnings_ << "skywaltz: " << fileName_ << ": \"" << key << "\" ";
        if (before.empty())
            warnings_ << "has no value";
        else
            warnings_ << "has only the value \"" << before << "\"";
        warnings_ << "; keeping " << kept << "\n";
    }

    std::istream& in_;
    const std::string& fileName_;
    std::ostream& warnings_;
    std::optional<std::string> pending_;
};

void readSwitch(Reader& reader, const std::string& key, bool& target) {
    if (std::optional<std::string> word = reader.word(key, onOff(target))) target = *word == "on";
}
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
            if (std::optional<int> delay = reader.integer(key, std::to_string(settings.colorDelay)))
                settings.colorDelay = *delay;
        } else if (key == "fullscreen:") {
            readSwitch(reader, key, settings.fullscreen);
        } else if (key == "screenshake:") {
            readSwitch(reader, key, settings.screenShake);
        } else if (key == "resolution:") {
            reader.resolution(key, desktopSize, settings);
        } else if (key == "hints:") {
            readSwitch(reader, key, settings.hints);
        }
    }
}

namespace {
void refuse(std::ostream& warnings, const std::string& path, const std::string& why) {
    warnings << "skywaltz: " << path << " " << why << "; using the default settings\n";
}
}  // namespace

bool readSettingsFile(const std::string& path, std::string& text, std::ostream& warnings,
                      std::size_t limit) {
    switch (readRegularFile(path, text, limit)) {
        case FileRead::read:
            return !text.empty();
        case FileRead::unopened:
            return false;
        case FileRead::notRegular:
            refuse(warnings, path, "is not a regular file");
            return false;
        case FileRead::tooLarge:
            refuse(warnings, path, "is larger than " + std::to_string(limit >> 20) + " MB");
            return false;
    }
    return false;
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
    if (!s.hints) out << "\nhints: off";
    return out.str();
}
