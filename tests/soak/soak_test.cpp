// Long randomized play of the real gameplay scene: a seeded random "player" presses every
// action while a script now and then carries the orb to the altar so that the world grows.
// After every update every agent pointer must point at a live agent and every position and
// velocity must be finite. SKYWALTZ_SOAK_MINUTES sets the simulated length (default 2);
// SKYWALTZ_SOAK_UPDATES, when set, counts updates instead.
#include "agents/messages.hpp"
#include "items/altar.hpp"
#include "items/orb.hpp"
#include "support/test_world.hpp"
#include "walkers/planet.hpp"
#include "walkers/player.hpp"
#include "world/scene_base.hpp"

#include <SFML/Window/Keyboard.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <set>
#include <string>
#include <vector>

namespace {
constexpr int updatesPerMinute = 60 * 60;
constexpr int shortestErrandInterval = 360;  // updates between scripted errands (ceremony
                                             // and transition take 300)
// A long soak spreads its errands out: a world of some sixty planets is grown over the run
// rather than hundreds, which would make the half hour take many hours under the sanitizers.
constexpr int errandsPerSoak = 60;
constexpr int mostPlanetsAsked = 30;
// One in this many updates, on average:
constexpr int fullscreenOdds = 20000;
constexpr int resetOdds = 60000;
constexpr int pauseOdds = 1800;
constexpr int unpauseOdds = 30;  // while paused
constexpr int menuMoveOdds = 10;
constexpr int menuChooseOdds = 200;  // rarely, so a pause seldom resets the world

const int playerKeys[] = {sf::Keyboard::W,     sf::Keyboard::A,    sf::Keyboard::S,
                          sf::Keyboard::D,     sf::Keyboard::Up,   sf::Keyboard::Left,
                          sf::Keyboard::Right, sf::Keyboard::Down, sf::Keyboard::Space,
                          sf::Keyboard::X};
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
        : errandInterval(std::max(shortestErrandInterval, updates / errandsPerSoak)) {
        scene.init(&world.resources, &world.input, &world.soundBank);
        srand(20261207);
        scene.enter();
        srand(20261207);  // the scene reseeds from the clock; the soak stays repeatable
        scene.player->input.devices = &world.devices;
    }

    void run(int updates) {
        for (int i = 0; i < updates; ++i) {
            chooseInput(i);
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
    int errandsStarted = 0;
    const int errandInterval;

private:
    void chooseInput(int update) {
        world.devices.keys.clear();
        if (scene.paused) {
            if (rand() % menuMoveOdds == 0)
                world.devices.keys.insert(rand() % 2 ? sf::Keyboard::Up : sf::Keyboard::Down);
            if (rand() % menuChooseOdds == 0) world.devices.keys.insert(sf::Keyboard::Return);
            if (rand() % unpauseOdds == 0) world.devices.keys.insert(sf::Keyboard::Escape);
            return;
        }
        for (int key : playerKeys)
            if (rand() % 6 == 0) world.devices.keys.insert(key);
        if (rand() % pauseOdds == 0) world.devices.keys.insert(sf::Keyboard::Escape);
        if (rand() % resetOdds == 0) world.devices.keys.insert(sf::Keyboard::R);
        if (rand() % fullscreenOdds == 0) world.devices.keys.insert(sf::Keyboard::M);
        world.devices.axes[sf::Joystick::X] = static_cast<float>(rand() % 201 - 100);
        world.devices.axes[sf::Joystick::Y] = static_cast<float>(rand() % 201 - 100);
        scriptErrand(update);
    }

    // Brings the orb to the player, picks it up, throws it, and lays it on the altar.
    void scriptErrand(int update) {
        const int phase = update % errandInterval;
        if (phase > 3 || scene.transitionTime >= 0.f) return;
        Orb* orb = find<Orb>(agent_name::item);
        Altar* altar = find<Altar>(agent_name::altar);
        if (orb == nullptr || altar == nullptr) return;
        world.devices.keys.erase(sf::Keyboard::X);
        if (phase == 0 && !scene.player->carrying) {
            orb->position = scene.player->position;
            world.devices.keys.insert(sf::Keyboard::X);
        } else if (phase == 2 && scene.player->carried == orb) {
            world.devices.keys.insert(sf::Keyboard::X);
        } else if (phase == 3 && scene.player->carried != orb && !orb->beingCarried) {
            orb->position = altar->position;
            orb->velocity = {0.f, 0.f};
            ++errandsStarted;
        }
    }

    template <typename T>
    T* find(const sf::String& name) {
        for (Agent* agent : scene.items)
            if (auto* found = dynamic_cast<T*>(agent); found != nullptr && found->name == name)
                return found;
        return nullptr;
    }

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
                  << " planets, " << errandsStarted << " errands, " << errors << " errors\n";
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
};
}  // namespace

TEST(Soak, LongRandomPlayKeepsEveryPointerLiveAndEveryValueFinite) {
    const int updates = soakUpdates();
    Soak soak(updates);
    soak.run(updates);
    std::cout << "soaked " << updates << " updates, " << soak.errandsStarted << " errands, "
              << soak.planetsReached << " planets at most, " << soak.errors << " errors\n";
    EXPECT_EQ(soak.errors, 0);
    // Pauses and resets take some errands away; half of them must grow the world.
    EXPECT_GE(soak.planetsReached,
              std::min(mostPlanetsAsked, 1 + updates / (2 * soak.errandInterval)));
}
