#pragma once

#include <string>

// The game's own frame loop on virtual screens of the sizes players have, at the settings of
// a first start and at the desktop's resolution, beside the 480 x 320 window as the reference,
// all in one run: frames per second counted at the buffer swap, the median time from swap to
// swap, the median time of the drawing and the processor time; and the two windows again with
// the focus taken away, as when the player has switched to another window. Each screen is an Xvfb server of its own; each
// setting a fresh game process in a scratch folder with its config.txt. The settings take
// turns for a few rounds, so a neighbour's load on a shared machine falls on all of them.
struct RealScreenOptions {
    double warmupSeconds = 2.0;  // per game process
    double seconds = 2.0;        // timed per game process
    int rounds = 4;
    // The folder of the benchmark's binaries, which holds content/ and the timed game.
    std::string binaryFolder;
};

// Prints the table; false when a screen or a game run did not work.
bool measureRealScreens(const RealScreenOptions& options);
