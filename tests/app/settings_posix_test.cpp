#include "app/settings.hpp"

#include "support/scratch_directory.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <sstream>
#include <string>

TEST(SettingsFilePosix, AFifoOrADeviceIsNeitherReadNorWaitedOnAndSaysSoInOneLine) {
    ScratchDirectory scratch;
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", "zero"), 0);
    for (const std::string path : {"fifo", "zero"}) {
        std::string text;
        std::ostringstream warnings;
        EXPECT_FALSE(readSettingsFile(path, text, warnings)) << path;
        EXPECT_EQ(warnings.str(),
                  "skywaltz: " + path + " is not a regular file; using the default settings\n");
    }
}
