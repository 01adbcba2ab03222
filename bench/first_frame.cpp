// The game as main() starts it, stopped right after its first frame has been presented: on
// standard output it writes the monotonic clock of that moment in nanoseconds, so the
// benchmark that spawned it can tell the time from start-up to the first frame.
//
// With --grow=N it instead grows the world to N planets after that frame, lets it settle,
// presents one more frame and writes its own peak resident memory in MB: the memory of the
// game itself, without the benchmark's windows and counters.
#include "app/kov_game.hpp"
#include "bench_world.hpp"
#include "process_status.hpp"
#include "world/scene_base.hpp"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
class FirstFrameGame : public KOV_Game {
public:
    explicit FirstFrameGame(int planetsToGrow) : planetsToGrow(planetsToGrow) {}

    void draw() override {
        KOV_Game::draw();
        glFinish();
        if (planetsToGrow > 0)
            reportGrownMemory();
        else
            std::printf("%lld\n", monotonicNanoseconds());
        std::fflush(stdout);
        quit();
    }

private:
    void reportGrownMemory() {
        // The game's only scene is the gameplay scene.
        auto* scene = static_cast<SceneBase*>(scenes[0]);
        growWorld(*scene, planetsToGrow, [this, scene] { runFrame(input, window, *scene); });
        KOV_Game::draw();
        glFinish();
        std::printf("%.1f\n", statusMegabytes("VmHWM"));
    }

    int planetsToGrow;
};
}  // namespace

int main(int argc, char** argv) {
    int planets = 0;
    if (argc > 1 && std::strncmp(argv[1], "--grow=", 7) == 0) planets = std::atoi(argv[1] + 7);
    auto* game = new FirstFrameGame(planets);
    const int status = game->run();
    delete game;
    return status;
}
