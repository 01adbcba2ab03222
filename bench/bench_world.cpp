#include "bench_world.hpp"

#include "agents/agent.hpp"
#include "core/colors.hpp"
#include "walkers/player.hpp"

#include <chrono>
#include <cstdlib>

namespace {
const sf::Time frameStep = sf::milliseconds(16);  // one update at 60 frames per second
constexpr int settleUpdates = 625;                // 10 s of 16 ms updates
constexpr int fadeUpdatesAtMost = 100;            // the fade-in takes 13
constexpr float firstPlanetRadius = 128.f;        // px, as the scene builds it
const sf::Vector2f firstPlanetCentre{0.f, 64.f};
}  // namespace

void runFrame(Input& input, sf::RenderWindow& window, Scene& scene) {
    input.update(window);
    scene.update(frameStep);
}

void growWorld(SceneBase& scene, int planets, const std::function<void()>& update,
               std::vector<double>* stepMs) {
    while (static_cast<int>(scene.planets.size()) < planets) {
        const auto start = std::chrono::steady_clock::now();
        if (!scene.findNextPlanetSpot()) break;
        scene.generatePlanet(scene.nextPlanetRadius, true, scene.nextPlanetPos.x,
                             scene.nextPlanetPos.y);
        if (stepMs != nullptr)
            stepMs->push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
        // The planet is built; the rest of the transition only glides the camera.
        scene.transitionTime = -1.f;
        scene.resources->cinematic = false;
        update();
    }
    for (int i = 0; i < settleUpdates; ++i) update();
}

BenchWorld::BenchWorld(unsigned width, unsigned height) {
    resources.title = "SKYWALTZ bench";
    resources.window = &window;
    resources.createWindow(sf::VideoMode(width, height, 32), windowedStyle);
    resources.setup(window);
    resources.soundVolume = 100;
    resources.musicVolume = 0;
    input.reset(&resources, true);
    input.devices = &devices;
    soundBank.reset(&resources);
    resources.loadFont("font.ttf");
    resources.loadTexture("sprites.png");
}

void BenchWorld::grow(int planets, unsigned seed) {
    scene.init(&resources, &input, &soundBank);
    scene.enter();
    scene.player->input.devices = &devices;

    // Nothing has been updated yet, so nobody holds a pointer to the first planet.
    for (AgentList* list : {&scene.effects, &scene.planets, &scene.items}) {
        for (Agent* agent : *list) delete agent;
        list->clear();
    }
    srand(seed);
    scene.hue = randomHue();
    scene.generatePlanet(firstPlanetRadius, true, firstPlanetCentre.x, firstPlanetCentre.y);
    scene.nextPlanetRadius = static_cast<float>(rand() % 128 + 64);

    for (int i = 0; i < fadeUpdatesAtMost && (i == 0 || scene.fade > 0.f); ++i) update();

    growWorld(
        scene, planets, [this] { update(); }, &growthStepMs);
}

void BenchWorld::update() {
    runFrame(input, window, scene);
}

void BenchWorld::draw() {
    scene.clearLayers();
    scene.draw();
    scene.present();
    window.display();
}
