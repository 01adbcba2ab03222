// The game as main() starts it, in the settings of its working directory, counting the frames
// it presents. After a warm-up it times every buffer swap for a while, then quits and writes
// one line on standard output: frames, seconds between the first and last timed swap, median
// ms from swap to swap, median ms of the frame's drawing (clear to swap), frames drawn while
// the window lacked focus, whether it was fullscreen at the end, and the window's size.
//
// Usage: skywaltz_frame_rate WARMUP_SECONDS SECONDS
#include "app/kov_game.hpp"
#include "median.hpp"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
class TimedGame : public KOV_Game {
public:
    TimedGame(double warmup, double seconds) : warmup(warmup), seconds(seconds) {}

    void draw() override {
        const auto start = std::chrono::steady_clock::now();
        KOV_Game::draw();
        const auto end = std::chrono::steady_clock::now();
        if (!started) {
            firstSwap = end;
            started = true;
        }
        const double at = std::chrono::duration<double>(end - firstSwap).count();
        if (at < warmup) return;
        swaps.push_back(at);
        drawMs.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        if (!hasFocus) ++unfocused;
        windowSize = window.getSize();
        if (at >= warmup + seconds) quit();
    }

    void report() const {
        std::vector<double> intervals;
        for (size_t i = 1; i < swaps.size(); ++i)
            intervals.push_back((swaps[i] - swaps[i - 1]) * 1000.0);
        const double span = swaps.size() > 1 ? swaps.back() - swaps.front() : 0.0;
        std::printf("%zu %.4f %.3f %.3f %d %d %u %u\n", intervals.size(), span, median(intervals),
                    median(drawMs), unfocused, resources.fullscreen ? 1 : 0, windowSize.x,
                    windowSize.y);
    }

private:
    double warmup, seconds;
    bool started = false;
    std::chrono::steady_clock::time_point firstSwap;
    std::vector<double> swaps, drawMs;
    int unfocused = 0;
    sf::Vector2u windowSize;
};
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s WARMUP_SECONDS SECONDS\n", argv[0]);
        return 2;
    }
    auto* game = new TimedGame(std::atof(argv[1]), std::atof(argv[2]));
    const int status = game->run();
    if (status == 0) game->report();
    delete game;
    return status;
}
