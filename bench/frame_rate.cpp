// The game as main() starts it, in the settings of its working directory, counting the frames
// it presents. After a warm-up it times every buffer swap for a while, then quits and writes
// one line on standard output: frames presented, seconds timed, median ms from swap to swap,
// median ms of the frame's drawing (clear to swap), frames drawn while the window lacked
// focus, whether it was fullscreen at the end, the window's size, the processor time the whole
// process (every thread) used while timed, in ms per second, and whether it had the focus at
// the end.
//
// Usage: skywaltz_frame_rate WARMUP_SECONDS SECONDS [unfocused]
// With "unfocused" the keyboard focus is taken from the game halfway through the warm-up, as
// when the player switches to another window.
#include "app/kov_game.hpp"
#include "median.hpp"

#include <X11/Xlib.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Gives the keyboard focus to no window, on a connection of its own.
void takeFocusAway() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return;
    XSetInputFocus(display, None, RevertToNone, CurrentTime);
    XCloseDisplay(display);
}

class TimedGame : public KOV_Game {
public:
    TimedGame(double warmup, double seconds, bool unfocus)
        : warmup(warmup), seconds(seconds), unfocus(unfocus) {}

    void update(sf::Time elapsed) override {
        KOV_Game::update(elapsed);
        if (!started) return;
        const double at = sinceFirstSwap();
        if (unfocus && !focusTaken && at >= warmup / 2) {
            takeFocusAway();
            focusTaken = true;
        }
        if (!timing && at >= warmup) {
            timing = true;
            cpuAtStart = processCpuSeconds();
        }
        if (timing && at >= warmup + seconds) {
            windowSize = window.getSize();
            focusedAtEnd = hasFocus;
            cpuMsPerSecond = (processCpuSeconds() - cpuAtStart) * 1000.0 / (at - warmup);
            timedSeconds = at - warmup;
            quit();
        }
    }

    void draw() override {
        const auto start = std::chrono::steady_clock::now();
        KOV_Game::draw();
        const auto end = std::chrono::steady_clock::now();
        if (!started) {
            firstSwap = end;
            started = true;
        }
        if (!timing) return;
        swaps.push_back(sinceFirstSwap());
        drawMs.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        if (!hasFocus) ++unfocused;
    }

    void report() const {
        std::vector<double> intervals;
        for (size_t i = 1; i < swaps.size(); ++i)
            intervals.push_back((swaps[i] - swaps[i - 1]) * 1000.0);
        std::printf("%zu %.4f %.3f %.3f %d %d %u %u %.2f %d\n", swaps.size(), timedSeconds,
                    median(intervals), median(drawMs), unfocused, resources.fullscreen ? 1 : 0,
                    windowSize.x, windowSize.y, cpuMsPerSecond, focusedAtEnd ? 1 : 0);
    }

private:
    double sinceFirstSwap() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - firstSwap).count();
    }

    double warmup, seconds;
    bool unfocus;
    bool started = false, timing = false, focusTaken = false, focusedAtEnd = true;
    std::chrono::steady_clock::time_point firstSwap;
    std::vector<double> swaps, drawMs;
    int unfocused = 0;
    double cpuAtStart = 0, cpuMsPerSecond = 0, timedSeconds = 0;
    sf::Vector2u windowSize;
};
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s WARMUP_SECONDS SECONDS [unfocused]\n", argv[0]);
        return 2;
    }
    const bool unfocus = argc > 3 && std::strcmp(argv[3], "unfocused") == 0;
    auto* game = new TimedGame(std::atof(argv[1]), std::atof(argv[2]), unfocus);
    const int status = game->run();
    if (status == 0) game->report();
    delete game;
    return status;
}
