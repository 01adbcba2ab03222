#include "support/scratch_directory.hpp"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>

ScratchDirectory::ScratchDirectory() {
    char pattern[] = "/tmp/skywaltz-test-XXXXXX";
    path = mkdtemp(pattern);
    char buffer[4096];
    previous = getcwd(buffer, sizeof buffer);
    EXPECT_EQ(chdir(path.c_str()), 0);
}

ScratchDirectory::~ScratchDirectory() {
    EXPECT_EQ(chdir(previous.c_str()), 0);
    std::system(("rm -rf " + path).c_str());
}
