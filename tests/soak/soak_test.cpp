// Long randomized play of the real gameplay scene: a seeded random "player" presses every
// action while a script now and then carries the orb to the altar so that the world grows.
// After every update every agent pointer must point at a live agent and every position and
// velocity must be finite. SKYWALTZ_SOAK_MINUTES sets the simulated length (default 2);
// SKYWALTZ_SOAK_UPDATES, when set, counts updates instead.
#include "items/altar.hpp"
#include "support/random_play.hpp"
#include "support/test_world.hpp"
#include "walkers/planet.hpp"
#include "walkers/player.hpp"
#include "world/scene_base.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <set>
#include <string>
#include <vector>

namespace {
constexpr unsigned soakSeed = 20261207;
constexpr int updatesPerMinute = 60 * 60;
constexpr int shortestErrandInterval = 360;  // updates between scripted errands (ceremony
                                             // and transition take 300)
// A long soak spreads its errands out: a world of some sixty planets is grown over the run
// rather than hundreds, which would make the half hour take many hours under the sanitizers.
constexpr int errandsPerSoak = 60;
constexpr int mostPlanetsAsked = 30;
int soakUpdates() {
    if (const char* updates = std::getenv("SKYWALTZ_SOAK_UPDATES"); updates != nullptr)
        return std::max(1, std::atoi(updates));
    const char* text = std::getenv("SKYWALTZ_SOAK_MINUTES");
    const int minutes = text != nullptr ? std::atoi(text) : 2;
    return (minutes > 0 ? minutes : 2) * updatesPerMinute;
}

bool finite(sf::Vector2f v) {
    return std::isfinite(v.x) && std::isfinite(v.y);
}

class Soak {
public:
    explicit Soak(int updates)
        : play(world, scene, std::max(shortestErrandInterval, updates / errandsPerSoak)) {
        scene.init(&world.resources, &world.input, &world.soundBank);
        scene.enter();
        rebuildFirstPlanet(scene, soakSeed);
        scene.player->input.devices = &world.devices;
    }

    void run(int updates) {
        for (int i = 0; i < updates; ++i) {
            play.chooseInput(i);
            world.step(scene);
            if (scene.quitRequested) scene.quitRequested = false;  // quitting is not soaked
            drawFrame();
            checkWorld(i);
            planetsReached = std::max(planetsReached, static_cast<int>(scene.planets.size()));
            if ((i + 1) % updatesPerMinute == 0) reportProgress(i + 1);
        }
    }

    int errors = 0;
    int planetsReached = 0;

private:
    void drawFrame() {
        world.window.clear();
        scene.clearLayers();
        scene.draw();
        scene.present();
        world.window.display();
    }

    // A long soak says how far it has come once a simulated minute.
    void reportProgress(int updates) const {
        std::cerr << "minute " << updates / updatesPerMinute << ": " << scene.planets.size()
                  << " planets, " << play.errandsStarted << " errands, " << errors << " errors\n";
    }

    void report(int update, const std::string& what) {
        if (errors < 20) std::cerr << "update " << update << ": " << what << "\n";
        ++errors;
    }

    void checkWorld(int update) {
        std::set<const Agent*> live;
        for (const AgentList* list : {&scene.effects, &scene.players, &scene.planets, &scene.items})
            live.insert(list->begin(), list->end());
        const std::set<const Agent*> planets(scene.planets.begin(), scene.planets.end());
        for (const Agent* agent : live) {
            if (!finite(agent->position) || !finite(agent->velocity))
                report(update, "a position or velocity is not finite");
            const auto* walker = dynamic_cast<const Spacewalker*>(agent);
            if (walker == nullptr) continue;
            if (walker->planet != nullptr && planets.count(walker->planet) == 0)
                report(update, "a walker's planet is gone");
            if (walker->carried != nullptr && live.count(walker->carried) == 0)
                report(update, "a carried item is gone");
            if (walker->onPlanet != (walker->planet != nullptr))
                report(update, "onPlanet disagrees with planet");
            if (const auto* item = dynamic_cast<const Itembase*>(agent);
                item != nullptr && item->carrier != nullptr && live.count(item->carrier) == 0)
                report(update, "an item's carrier is gone");
            if (const auto* altar = dynamic_cast<const Altar*>(agent);
                altar != nullptr && altar->recipient != nullptr &&
                live.count(altar->recipient) == 0)
                report(update, "an altar's recipient is gone");
        }
    }

    TestWorld world;
    SceneBase scene;

public:
    RandomPlay play;  // after the world and scene it plays
};
}  // namespace

TEST(Soak, LongRandomPlayKeepsEveryPointerLiveAndEveryValueFinite) {
    const int updates = soakUpdates();
    Soak soak(updates);
    soak.run(updates);
    std::cout << "soaked " << updates << " updates, " << soak.play.errandsStarted << " errands, "
              << soak.planetsReached << " planets at most, " << soak.errors << " errors\n";
    EXPECT_EQ(soak.errors, 0);
    // Pauses and resets take some errands away; half of them must grow the world.
    EXPECT_GE(soak.planetsReached,
              std::min(mostPlanetsAsked, 1 + updates / (2 * soak.play.errandInterval)));
}
