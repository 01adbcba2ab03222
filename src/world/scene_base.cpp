#include "world/scene_base.hpp"

#include "agents/messages.hpp"
#include "core/colors.hpp"
#include "effects/splashes.hpp"
#include "effects/star.hpp"
#include "services/input.hpp"
#include "services/resources.hpp"
#include "services/sound_bank.hpp"
#include "walkers/player.hpp"

#include <SFML/Window/Keyboard.hpp>

#include <cstdlib>
#include <ctime>

namespace {
constexpr float firstPlanetRadius = 128.f;  // px
const sf::Vector2f firstPlanetCentre{0.f, 64.f};
constexpr float resetPlanetRadius = 160.f;  // px, the planet the reset action builds
constexpr float starInterval = 0.5f;        // s between background stars
constexpr float backgroundEasing = 0.1f;    // of the way to the goal colour per update
constexpr float cameraGlide = 0.05f;        // of the way to the new planet per update
constexpr float cameraDeadZone = 2.f;       // px
constexpr float burstDuration = 2.f;        // s of light before the planet is built
constexpr float transitionDuration = 3.f;   // s until the camera is handed back
constexpr float burstSize = 64.f;           // px, diameter of each burst disc
constexpr int escButton = 7;                // joystick buttons
constexpr int resetButton = 6;
constexpr float birthVolume = 1.f;  // of the sounds setting
constexpr float menuOpenVolume = 1.f;

int randomShade() {
    return rand() % 32 + 32;
}
}  // namespace

void SceneBase::enter() {
    Menu::enter();
    deleteAgents();  // a scene entered again starts a fresh world
    input->bindJoystickButton("esc", escButton);
    input->bindJoystickButton("reset", resetButton);
    input->bindKey("reset", sf::Keyboard::R);
    input->bindKey("esc", sf::Keyboard::Escape);
    input->bindKey("m", sf::Keyboard::M);
    addPauseMenu();

    const float w = static_cast<float>(resources->width);
    const float h = static_cast<float>(resources->height);
    background.setSize({2.f * w, 2.f * h});
    background.setOrigin(w, h);

    player =
        new Player(resources, &effects, &players, &planets, &items, soundBank, &camera, 0.f, 0.f);
    players.push_back(player);

    const int blue = randomShade();
    const int green = randomShade();
    const int red = randomShade();
    background.setFillColor(sf::Color(static_cast<sf::Uint8>(red), static_cast<sf::Uint8>(green),
                                      static_cast<sf::Uint8>(blue), 255));
    srand(static_cast<unsigned>(time(nullptr)));
    hue = randomHue();
    generatePlanet(firstPlanetRadius, true, firstPlanetCentre.x, firstPlanetCentre.y);
    nextPlanetRadius = static_cast<float>(rand() % 128 + 64);
    nextPlanetBuilt = false;
    planetGap = 64.f;
    transitionTime = -1.f;
    starTimer = 0.f;
}

void SceneBase::onUpdate(sf::Time elapsed) {
    Menu::onUpdate(elapsed);
    if (input->isPressed("esc")) {
        paused = !paused;
        if (paused) soundBank->playSound("menu_open", menuOpenVolume, 1.f, 0.f);
    }
    if (input->isPressed("reset")) {
        clearWorld();
        generatePlanet(resetPlanetRadius, true, 0.f, 0.f);
    }
    if (input->isPressed("m")) resources->setFullscreen(!resources->fullscreen);
}

void SceneBase::update(sf::Time elapsed) {
    showCursor = paused;
    Menu::update(elapsed);
    menuVisible = paused;
    if (paused) return;
    spawnStars(elapsed);
    camera.update(elapsed, false);
    background.setFillColor(lerpColor(background.getFillColor(), backgroundGoal, backgroundEasing));
    if (player->planetRequested) {
        findNextPlanetSpot();
        player->planetRequested = false;
    }
    runTransition(elapsed);
    aimPointer();
}

void SceneBase::aimPointer() {
    if (resources->hints && !resources->cinematic)
        pointer.aim(items, *player, *resources);
    else
        pointer.hide();
}

void SceneBase::spawnStars(sf::Time elapsed) {
    starTimer += elapsed.asSeconds();
    if (starTimer > starInterval) {
        effects.push_back(
            new Star(resources, background.getFillColor(), camera.position.x, camera.position.y));
        starTimer = 0.f;
    }
}

void SceneBase::runTransition(sf::Time elapsed) {
    if (!(transitionTime > -0.1f)) return;
    resources->cinematic = true;
    transitionTime += elapsed.asSeconds();
    camera.position = approach(cameraGlide, cameraDeadZone, camera.position, nextPlanetPos);
    if (transitionTime <= burstDuration) {
        effects.push_back(new BallSplash(resources, nextPlanetRadius, hueToColor(hue), burstSize,
                                         nextPlanetPos.x, nextPlanetPos.y));
        return;
    }
    if (!nextPlanetBuilt) {
        generatePlanet(nextPlanetRadius, true, nextPlanetPos.x, nextPlanetPos.y);
        nextPlanetBuilt = true;
        soundBank->playSound("birth", birthVolume, 1.f, 0.f);
    }
    if (transitionTime > transitionDuration) {
        resources->cinematic = false;
        transitionTime = -1.f;
    }
}

void SceneBase::draw() {
    background.setPosition(camera.position);
    resources->layers.drawBackdrop(layer::background, background);
    if (!paused) pointer.draw(*resources, hudLayer);
    Menu::draw();
}
