#include "support/scratch_directory.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

ScratchDirectory::ScratchDirectory() {
    std::error_code error;
    const fs::path here = fs::current_path(error);
    previous = error ? fs::path("/").string() : here.string();
    const fs::path temporary = fs::temp_directory_path(error);
    if (error) throw std::runtime_error("there is no folder for temporary files");
    // A fresh name: a folder that is already there is never taken over.
    std::random_device entropy;
    for (int attempt = 0; attempt < 100 && path.empty(); ++attempt) {
        const fs::path candidate = temporary / ("skywaltz-test-" + std::to_string(entropy()));
        if (fs::create_directory(candidate, error)) path = candidate.string();
    }
    if (path.empty())
        throw std::runtime_error("cannot make a scratch folder in " + temporary.string());
    fs::current_path(path, error);
    EXPECT_FALSE(error) << error.message();
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code error;
    fs::current_path(previous, error);
    EXPECT_FALSE(error) << error.message();
    fs::remove_all(path, error);
}
