#include "support/random_play.hpp"

#include "agents/messages.hpp"
#include "core/colors.hpp"
#include "items/altar.hpp"
#include "items/orb.hpp"
#include "walkers/player.hpp"

#include <SFML/Window/Keyboard.hpp>

#include <cstdlib>

namespace {
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

template <typename T>
T* find(const SceneBase& scene, const sf::String& name) {
    for (Agent* agent : scene.items)
        if (auto* found = dynamic_cast<T*>(agent); found != nullptr && found->name == name)
            return found;
    return nullptr;
}
}  // namespace

void rebuildFirstPlanet(SceneBase& scene, unsigned seed) {
    for (AgentList* list : {&scene.effects, &scene.planets, &scene.items}) {
        for (Agent* agent : *list) delete agent;
        list->clear();
    }
    srand(seed);
    scene.hue = randomHue();
    scene.generatePlanet(128.f, true, 0.f, 64.f);
}

RandomPlay::RandomPlay(TestWorld& world_, SceneBase& scene_, int errandInterval_)
    : errandInterval(errandInterval_), world(world_), scene(scene_) {}

void RandomPlay::chooseInput(int update) {
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
void RandomPlay::scriptErrand(int update) {
    const int phase = update % errandInterval;
    if (phase > 3 || scene.transitionTime >= 0.f) return;
    Orb* orb = find<Orb>(scene, agent_name::item);
    Altar* altar = find<Altar>(scene, agent_name::altar);
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
