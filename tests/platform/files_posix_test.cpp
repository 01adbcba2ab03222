#include "platform/files.hpp"

#include "support/scratch_directory.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

TEST(FilesPosix, LinksAreFollowedAndWhatIsNeitherFileNorFolderIsOther) {
    ScratchDirectory scratch;
    ASSERT_EQ(mkdir("folder", 0700), 0);
    ASSERT_EQ(symlink("folder", "to-folder"), 0);
    ASSERT_EQ(symlink("gone", "to-nothing"), 0);
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    EXPECT_EQ(pathKind("to-folder"), PathKind::folder);
    EXPECT_EQ(pathKind("to-nothing"), PathKind::brokenLink);
    EXPECT_EQ(pathKind("fifo"), PathKind::other);
    EXPECT_EQ(pathKind("/dev/null"), PathKind::other);
}
