#include "platform/files.hpp"

#include "support/scratch_directory.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

TEST(Files, PathKindNamesWhatStandsAtAPath) {
    ScratchDirectory scratch;
    std::filesystem::create_directory("content");
    ASSERT_TRUE(writeWholeFile("config.txt", "music: 5"));
    EXPECT_EQ(pathKind("nothing"), PathKind::missing);
    EXPECT_EQ(pathKind("content"), PathKind::folder);
    EXPECT_EQ(pathKind("config.txt"), PathKind::readableFile);
    EXPECT_TRUE(isReadableFile("config.txt"));
    EXPECT_FALSE(isReadableFile("content"));
    EXPECT_EQ(pathKind(assetRoot() + pathSeparator + "content"), PathKind::folder)
        << "content/ in the working directory is the one the game finds";
}

TEST(Files, AWrittenFileReadsBackWholeAndWhatIsNoFileIsNotRead) {
    ScratchDirectory scratch;
    std::filesystem::create_directory("folder");
    ASSERT_TRUE(writeWholeFile("config.txt", "first, longer text"));
    ASSERT_TRUE(writeWholeFile("config.txt", "second"));
    std::string text = "left over";
    EXPECT_EQ(readRegularFile("config.txt", text, 100), FileRead::read);
    EXPECT_EQ(text, "second") << "writing replaces the whole file";
    EXPECT_EQ(readRegularFile("config.txt", text, 5), FileRead::tooLarge);
    EXPECT_EQ(text, "");
    EXPECT_EQ(readRegularFile("nothing", text, 100), FileRead::unopened);
    EXPECT_EQ(readRegularFile("folder", text, 100), FileRead::notRegular);
    EXPECT_FALSE(writeWholeFile("folder", "x"));
}

TEST(Files, TheSettingsLiveWhereThePlayerLooksForThem) {
    const SettingsPlace place = settingsPlace();
#ifdef _WIN32
    // No config.txt beside the tests' executable: the game is installed, and the player's
    // own copy lives in the roaming application data, written on the first start.
    const char* appData = std::getenv("APPDATA");
    ASSERT_NE(appData, nullptr);
    EXPECT_EQ(place.path, std::string(appData) + "\\SKYWALTZ\\config.txt");
    EXPECT_TRUE(place.writeDefaults);
#else
    EXPECT_EQ(place.path, "config.txt") << "in the working directory";
    EXPECT_FALSE(place.writeDefaults);
#endif
}
