#include "app/settings.hpp"

#include "app/game.hpp"
#include "support/scratch_directory.hpp"

#include <gtest/gtest.h>
#include <SFML/Window/VideoMode.hpp>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

// Found by argument lookup, so outside the anonymous namespace; static keeps them to this file.
static bool operator==(const Settings& a, const Settings& b) {
    return a.width == b.width && a.height == b.height && a.fullscreen == b.fullscreen &&
           a.musicVolume == b.musicVolume && a.soundVolume == b.soundVolume &&
           a.screenShake == b.screenShake && a.colorDelay == b.colorDelay &&
           a.autoResolution == b.autoResolution && a.hints == b.hints;
}

static std::ostream& operator<<(std::ostream& out, const Settings& s) {
    return out << "{" << s.width << " x " << s.height << (s.autoResolution ? " auto" : "")
               << ", fullscreen " << s.fullscreen << ", music " << s.musicVolume << ", sounds "
               << s.soundVolume << ", shake " << s.screenShake << ", delay " << s.colorDelay
               << ", hints " << s.hints << "}";
}

namespace {
const sf::Vector2u desktop{1600, 900};

// Builds the expected settings from the defaults.
struct Expect {
    Settings s;
    Expect& resolution(int w, int h, bool automatic = false) {
        s.width = w;
        s.height = h;
        s.autoResolution = automatic;
        return *this;
    }
    Expect& fullscreen(bool on) {
        s.fullscreen = on;
        return *this;
    }
    Expect& music(int v) {
        s.musicVolume = v;
        return *this;
    }
    Expect& sounds(int v) {
        s.soundVolume = v;
        return *this;
    }
    Expect& shake(bool on) {
        s.screenShake = on;
        return *this;
    }
    Expect& delay(int v) {
        s.colorDelay = v;
        return *this;
    }
    Expect& hints(bool on) {
        s.hints = on;
        return *this;
    }
};

struct Read {
    Settings settings;
    std::vector<std::string> warnings;
};

Read read(const std::string& text) {
    std::istringstream in(text);
    std::ostringstream warnings;
    Read result;
    readSettings(in, "config.txt", desktop, result.settings, warnings);
    std::istringstream lines(warnings.str());
    for (std::string line; std::getline(lines, line);) result.warnings.push_back(line);
    return result;
}

struct Case {
    const char* name;
    std::string text;
    Settings expected;
    // For a bad file: the key and the value its one warning line must name.
    const char* key = nullptr;
    const char* badValue = nullptr;
};

void check(const Case& c) {
    SCOPED_TRACE(c.name);
    const Read r = read(c.text);
    EXPECT_EQ(r.settings, c.expected) << "file:\n" << c.text;
    if (c.key == nullptr) {
        EXPECT_TRUE(r.warnings.empty()) << r.warnings.front();
        return;
    }
    ASSERT_EQ(r.warnings.size(), 1u) << "file:\n" << c.text;
    const std::string& line = r.warnings[0];
    EXPECT_NE(line.find("config.txt"), std::string::npos) << line;
    EXPECT_NE(line.find(std::string("\"") + c.key + "\""), std::string::npos) << line;
    EXPECT_NE(line.find(c.badValue), std::string::npos) << line;
}
}  // namespace

TEST(SettingsRead, WellFormedFilesReadAsTheFormatSays) {
    const Case cases[] = {
        {"empty file", "", Expect().s},
        {"only white space", " \n\t\n  ", Expect().s},
        {"every key",
         "resolution: 800 600\nmusic: 40\nsounds: 70\nfullscreen: off\nscreenshake: off\n"
         "colordelay: 5\n",
         Expect()
             .resolution(800, 600)
             .fullscreen(false)
             .music(40)
             .sounds(70)
             .shake(false)
             .delay(5)
             .s},
        {"any order, any spacing", "colordelay:\t9   sounds: 1 music: 2\n\nresolution:\n640\n400",
         Expect().resolution(640, 400).music(2).sounds(1).delay(9).s},
        {"last line without a line end", "sounds: 30\nmusic: 20", Expect().music(20).sounds(30).s},
        {"repeated key: the last wins", "music: 10\nmusic: 20\nmusic: 30", Expect().music(30).s},
        {"auto after explicit", "resolution: 800 600\nresolution: auto",
         Expect().resolution(1600, 900, true).s},
        {"explicit after auto", "resolution: auto\nresolution: 800 600",
         Expect().resolution(800, 600).s},
        {"digits then anything", "music: 100%\nsounds: 42dB\ncolordelay: 3.9",
         Expect().music(100).sounds(42).delay(3).s},
        {"signs", "colordelay: -3 sounds: +7", Expect().delay(-3).sounds(7).s},
        {"whole-number limits", "colordelay: 2147483647", Expect().delay(INT_MAX).s},
        {"whole-number limits", "colordelay: -2147483648", Expect().delay(INT_MIN).s},
        {"silent music", "music: 0", Expect().music(0).s},
        {"only the exact word on", "fullscreen: On\nscreenshake: yes",
         Expect().fullscreen(false).shake(false).s},
        {"on again after off", "fullscreen: 1 fullscreen: on screenshake: off",
         Expect().shake(false).s},
        {"hints off, and only the word on turns them on", "hints: off", Expect().hints(false).s},
        {"hints off, and only the word on turns them on", "hints: off hints: yes",
         Expect().hints(false).s},
        {"hints off, and only the word on turns them on", "hints: off hints: on", Expect().s},
        {"keys are case-sensitive", "Music: 20 sounds: 30", Expect().sounds(30).s},
        {"unknown key and its value skipped", "volume: 50\nmusic: 20", Expect().music(20).s},
        {"unknown word before a key", "hello music: 20", Expect().music(20).s},
        {"smallest and largest resolution", "resolution: 160 100", Expect().resolution(160, 100).s},
        {"smallest and largest resolution", "resolution: 16384 16384",
         Expect().resolution(16384, 16384).s},
    };
    for (const Case& c : cases) check(c);
}

TEST(SettingsRead, ABadValueKeepsTheEarlierValueAndSaysSoOnce) {
    const Case cases[] = {
        {"word without digits", "music: loud", Expect().s, "music:", "loud"},
        {"sign without digits", "colordelay: -", Expect().s, "colordelay:", "-"},
        {"earlier value kept", "sounds: 40\nsounds: x%", Expect().sounds(40).s, "sounds:", "x%"},
        {"just beyond int", "colordelay: 2147483648", Expect().s, "colordelay:", "2147483648"},
        {"just below int", "colordelay: -2147483649", Expect().s, "colordelay:", "-2147483649"},
        {"far beyond int", "music: 99999999999999999999999", Expect().s,
         "music:", "99999999999999999999999"},
        {"integer key at the end", "music: 20\nsounds:", Expect().music(20).s,
         "sounds:", "no value"},
        {"switch key at the end", "fullscreen: off screenshake:", Expect().fullscreen(false).s,
         "screenshake:", "no value"},
        {"resolution at the end", "resolution:", Expect().s, "resolution:", "no value"},
        {"resolution without height", "resolution: 800", Expect().s, "resolution:", "800"},
        {"forgotten value leaves the next key", "colordelay:\nfullscreen: off",
         Expect().fullscreen(false).s, "colordelay:", "no value"},
        {"forgotten height leaves the next key", "resolution: 800\nmusic: 50", Expect().music(50).s,
         "resolution:", "800"},
        {"width not a number", "resolution: wide 600\nmusic: 50", Expect().music(50).s,
         "resolution:", "wide"},
        {"height not a number", "resolution: 800 tall", Expect().s, "resolution:", "800 tall"},
        {"resolution too small", "resolution: 100 50", Expect().s, "resolution:", "100 50"},
        {"width one too small", "resolution: 159 100", Expect().s, "resolution:", "159 100"},
        {"height one too small", "resolution: 160 99", Expect().s, "resolution:", "160 99"},
        {"width too large", "resolution: 16385 600", Expect().s, "resolution:", "16385 600"},
        {"height too large", "resolution: 800 20000", Expect().s, "resolution:", "800 20000"},
        {"negative height", "resolution: 800 -600", Expect().s, "resolution:", "800 -600"},
        {"earlier resolution kept", "resolution: 800 600\nresolution: 10 10",
         Expect().resolution(800, 600).s, "resolution:", "10 10"},
        {"width beyond int", "resolution: 99999999999 600", Expect().s,
         "resolution:", "99999999999"},
        {"music above 100", "music: 150", Expect().music(100).s, "music:", "150"},
        {"sounds below 0", "sounds: -20", Expect().sounds(0).s, "sounds:", "-20"},
        {"volume clamped then replaced", "music: 500 music: 30", Expect().music(30).s,
         "music:", "500"},
    };
    for (const Case& c : cases) check(c);
}

TEST(SettingsRead, SeveralBadValuesGiveOneLineEach) {
    const Read r = read("music: loud\nresolution: 1 1\nsounds: 40\ncolordelay:");
    EXPECT_EQ(r.settings, Expect().sounds(40).s);
    ASSERT_EQ(r.warnings.size(), 3u);
    EXPECT_NE(r.warnings[0].find("loud"), std::string::npos);
    EXPECT_NE(r.warnings[1].find("1 1"), std::string::npos);
    EXPECT_NE(r.warnings[2].find("colordelay:"), std::string::npos);
}

TEST(SettingsWrite, CanonicalLayoutHasSixLinesAndNoFinalLineEnd) {
    EXPECT_EQ(writeSettings(Settings{}),
              "resolution: auto\nmusic: 100\nsounds: 100\nfullscreen: on\nscreenshake: on\n"
              "colordelay: 1");
    EXPECT_EQ(writeSettings(Expect().resolution(800, 600).fullscreen(false).shake(false).s),
              "resolution: 800 600\nmusic: 100\nsounds: 100\nfullscreen: off\nscreenshake: off\n"
              "colordelay: 1");
}

TEST(SettingsWrite, WhatIsWrittenReadsBackTheSame) {
    const Settings samples[] = {
        Expect().resolution(800, 600).s,
        Expect().resolution(160, 100).fullscreen(false).music(0).sounds(0).shake(false).delay(-7).s,
        Expect().resolution(16384, 9000).music(55).sounds(100).delay(INT_MAX).s,
        Expect().resolution(1600, 900, true).fullscreen(false).s,
        Expect().resolution(800, 600).hints(false).s,
    };
    for (const Settings& written : samples) {
        const Read r = read(writeSettings(written));
        EXPECT_EQ(r.settings, written);
        EXPECT_TRUE(r.warnings.empty());
    }
    // "auto" stores no size: it reads back as the desktop's.
    const Read r = read(writeSettings(Expect().resolution(480, 320, true).s));
    EXPECT_EQ(r.settings, Expect().resolution(1600, 900, true).s);
}

namespace {
// Runs a test inside a fresh empty working directory, with the settings file there.
class SettingsFileTest : public ::testing::Test {
protected:
    SettingsFileTest() { game.settingsFile = {"config.txt", false}; }
    static void writeFile(const std::string& text) { std::ofstream("config.txt") << text; }
    static std::string fileText() {
        std::ifstream in("config.txt");
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    Settings load() {
        Settings s;
        s.width = s.height = s.musicVolume = s.soundVolume = s.colorDelay = -1;
        s.fullscreen = s.screenShake = false;
        game.loadSettings(s.width, s.height, s.fullscreen, s.musicVolume, s.soundVolume,
                          s.screenShake, s.colorDelay);
        s.autoResolution = game.autoResolution;
        return s;
    }

    ScratchDirectory scratch;
    Game game;
};
}  // namespace

TEST_F(SettingsFileTest, MissingEmptyOrUnreadableFileGivesTheDefaults) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(load(), Settings{});
    writeFile("");
    EXPECT_EQ(load(), Settings{});
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(SettingsFileTest, AMissingFileIsWrittenWithTheDefaultsWhereThePlaceAsksForIt) {
    game.settingsFile.writeDefaults = true;
    const sf::VideoMode desktopMode = sf::VideoMode::getDesktopMode();
    EXPECT_EQ(load(), Expect()
                          .resolution(static_cast<int>(desktopMode.width),
                                      static_cast<int>(desktopMode.height), true)
                          .s)
        << "the file written is read: its resolution is auto";
    EXPECT_EQ(fileText(), writeSettings(Settings{}));
    writeFile("music: 20");
    EXPECT_EQ(load(), Expect().music(20).s);
    EXPECT_EQ(fileText(), "music: 20") << "a file that is there is the player's";
}

TEST_F(SettingsFileTest, WhatIsNotARegularFileOfBoundedSizeGivesTheDefaultsAndOneLine) {
    const auto loadAfter = [this](const char* what, auto makeFile) {
        std::filesystem::remove_all("config.txt");
        ASSERT_TRUE(makeFile()) << what;
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(load(), Settings{}) << what;
        const std::string errors = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << what << ": " << errors;
        EXPECT_EQ(errors.rfind("skywaltz: config.txt ", 0), 0u) << what << ": " << errors;
    };
    loadAfter("a folder", [] { return std::filesystem::create_directory("config.txt"); });
    // Sparse: larger than the limit on disk without the bytes being written.
    loadAfter("too large a file", [] {
        writeFile("fullscreen: off");
        std::filesystem::resize_file("config.txt", settingsFileLimit + 1);
        return std::filesystem::file_size("config.txt") == settingsFileLimit + 1;
    });
    std::remove("config.txt");
}

TEST(SettingsFileRead, ReadsAFileOfTheLimitAndNotOneByteMore) {
    ScratchDirectory scratch;
    const char* path = "settings";
    const std::string body = "music: 5 ";
    std::ofstream(path) << body;
    std::string text;
    std::ostringstream warnings;
    EXPECT_TRUE(readSettingsFile(path, text, warnings, body.size()));
    EXPECT_EQ(text, body);
    std::ofstream(path, std::ios::app) << "x";
    EXPECT_FALSE(readSettingsFile(path, text, warnings, body.size()));
    EXPECT_TRUE(text.empty());
    EXPECT_NE(warnings.str().find("larger than"), std::string::npos) << warnings.str();
}

TEST_F(SettingsFileTest, LoadReadsTheFileAndReportsBadValuesOnStandardError) {
    writeFile("resolution: 800 600\nfullscreen: off\nmusic: 250\nsounds: soft");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(load(), Expect().resolution(800, 600).fullscreen(false).music(100).s);
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("config.txt: \"music:\" has the bad value \"250\""), std::string::npos)
        << errors;
    EXPECT_NE(errors.find("config.txt: \"sounds:\" has the bad value \"soft\""), std::string::npos)
        << errors;

    writeFile("resolution: auto");
    const sf::VideoMode desktopMode = sf::VideoMode::getDesktopMode();
    EXPECT_EQ(load(), Expect()
                          .resolution(static_cast<int>(desktopMode.width),
                                      static_cast<int>(desktopMode.height), true)
                          .s);
}

TEST_F(SettingsFileTest, SaveWritesTheCanonicalFileThatLoadReadsBack) {
    writeFile("some longer text that must not survive the save\n\n\n\n\n\n\n\n");
    game.resources.width = 640;
    game.resources.height = 400;
    game.resources.fullscreen = false;
    game.resources.musicVolume = 35;
    game.resources.soundVolume = 80;
    game.resources.screenShake = false;
    game.resources.colorDelay = 4;
    game.autoResolution = false;
    game.saveSettings();
    EXPECT_EQ(fileText(),
              "resolution: 640 400\nmusic: 35\nsounds: 80\nfullscreen: off\nscreenshake: off\n"
              "colordelay: 4");
    game.autoResolution = true;
    EXPECT_EQ(load(), Expect()
                          .resolution(640, 400)
                          .fullscreen(false)
                          .music(35)
                          .sounds(80)
                          .shake(false)
                          .delay(4)
                          .s);
}

TEST_F(SettingsFileTest, InitOpensTheConfiguredWindowAndHandsTheValuesToResources) {
    writeFile(
        "resolution: 640 400\nfullscreen: off\nmusic: 30\nsounds: 40\nscreenshake: off\n"
        "colordelay: 7\nhints: off");
    ::testing::internal::CaptureStderr();  // no content/ here: the font is missing
    game.init();
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(game.window.getSize(), sf::Vector2u(640, 400));
    EXPECT_EQ(game.resources.width, 640);
    EXPECT_EQ(game.resources.height, 400);
    EXPECT_FALSE(game.resources.fullscreen);
    EXPECT_FALSE(game.autoResolution);
    EXPECT_EQ(game.resources.musicVolume, 30);
    EXPECT_EQ(game.resources.soundVolume, 40);
    EXPECT_FALSE(game.resources.screenShake);
    EXPECT_EQ(game.resources.colorDelay, 7);
    EXPECT_FALSE(game.resources.hints);
}

TEST_F(SettingsFileTest, FullscreenStretchesTheConfiguredViewOverTheDesktop) {
    writeFile("resolution: 640 400");
    ::testing::internal::CaptureStderr();
    game.init();
    ::testing::internal::GetCapturedStderr();
    const sf::VideoMode desktopMode = sf::VideoMode::getDesktopMode();
    EXPECT_TRUE(game.resources.fullscreen);
    EXPECT_EQ(game.window.getSize(), sf::Vector2u(desktopMode.width, desktopMode.height));
    EXPECT_EQ(game.resources.view.getSize(), sf::Vector2f(640.f, 400.f));
}
