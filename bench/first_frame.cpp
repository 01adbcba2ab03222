// The game as main() starts it, stopped right after its first frame has been presented: on
// standard output it writes the monotonic clock of that moment in nanoseconds, so the
// benchmark that spawned it can tell the time from start-up to the first frame.
#include "app/kov_game.hpp"
#include "world/scene_base.hpp"

#include <GL/gl.h>

#include <cstdio>
#include <ctime>

namespace {
long long monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

class FirstFrameGame : public KOV_Game {
public:
    void init() override {
        KOV_Game::init();
        // The first frame to time is the world's: a game that does not yet open on the
        // gameplay scene gets it here.
        if (!scenes.empty() && dynamic_cast<SceneBase*>(scenes[0]) == nullptr) {
            delete scenes[0];
            scenes[0] = new SceneBase();
        }
    }

    void draw() override {
        KOV_Game::draw();
        glFinish();
        if (!reported) std::printf("%lld\n", monotonicNanoseconds());
        std::fflush(stdout);
        reported = true;
        quit();
    }

private:
    bool reported = false;
};
}  // namespace

int main() {
    auto* game = new FirstFrameGame();
    const int status = game->run();
    delete game;
    return status;
}
