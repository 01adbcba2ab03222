#include "support/scratch_directory.hpp"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <stdexcept>

ScratchDirectory::ScratchDirectory() {
    char pattern[] = "/tmp/skywaltz-test-XXXXXX";
    // Both calls give a null pointer on failure, which no std::string may be made from.
    const char* made = mkdtemp(pattern);
    if (made == nullptr) throw std::runtime_error("cannot make a scratch folder in /tmp");
    path = made;
    char buffer[4096];
    const char* here = getcwd(buffer, sizeof buffer);
    previous = here != nullptr ? here : "/";
    EXPECT_EQ(chdir(path.c_str()), 0);
}

ScratchDirectory::~ScratchDirectory() {
    EXPECT_EQ(chdir(previous.c_str()), 0);
    std::system(("rm -rf " + path).c_str());
}
