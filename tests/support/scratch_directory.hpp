#pragma once

#include <string>

// Makes a fresh empty folder the working directory for as long as it lives, so that a game
// started there finds neither content/ nor config.txt; then goes back and removes the folder.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::string path;
    std::string previous;
};
