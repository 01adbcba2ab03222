#include "support/scratch_directory.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

ScratchDirectory::ScratchDirectory() {
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    if (error) throw std::runtime_error("no folder for temporary files: " + error.message());
    std::random_device seed;
    std::mt19937 pick(seed());
    fs::path made;
    // A fresh name each try: create_directory is false when the folder already exists.
    for (int attempt = 0; attempt < 100 && made.empty(); ++attempt) {
        const fs::path candidate = base / ("skywaltz-test-" + std::to_string(pick()));
        if (fs::create_directory(candidate, error)) made = candidate;
    }
    if (made.empty()) throw std::runtime_error("cannot make a scratch folder in " + base.string());
    path = made.string();
    const fs::path here = fs::current_path(error);
    previous = error ? fs::path("/").string() : here.string();
    fs::current_path(made, error);
    EXPECT_FALSE(error) << error.message();
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code error;
    fs::current_path(previous, error);
    EXPECT_FALSE(error) << error.message();
    fs::remove_all(path, error);
}
