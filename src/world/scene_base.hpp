#pragma once

#include "scenes/menu.hpp"
#include "world/errand_pointer.hpp"

#include <SFML/Graphics/RectangleShape.hpp>

class Player;

// The gameplay scene: the player, the planets that grow one by one, the props, characters,
// altars and orbs on them, the background and its stars, and the pause menu. When the
// player earns a planet it finds a free spot, bursts light there for two seconds and builds
// the planet.
class SceneBase : public Menu {
public:
    // Starts a fresh world: the pause menu, the player and the first planet.
    void enter() override;
    // The menu and the agents, then (unless paused) stars, camera, background and the
    // new-planet transition.
    void update(sf::Time elapsed) override;
    // Menu navigation, then the world's own actions: pause, reset, fullscreen.
    void onUpdate(sf::Time elapsed) override;
    void draw() override;
    // The pause menu's entries.
    bool onMenuAction(int direction) override;

    // Builds a planet of this radius centred at (x, y) with its props, from the third
    // planet on its characters, and with an altar on it and its orb on an older planet.
    void generatePlanet(float radius, bool withAltar, float x, float y);
    // Maybe puts one prop near the angle, jittered by up to half a step either way.
    void placeProp(float hue, float angle, float step, float cx, float cy);
    // Looks for a spot beside the planets where the next one fits; starts the transition.
    bool findNextPlanetSpot();
    // Kills every planet, item and effect and lets the player go; keeps the player.
    void clearWorld();

    Player* player = nullptr;
    float nextPlanetRadius = 0.f;
    float planetGap = 64.f;
    float transitionTime = -1.f;
    float hue = 0.f;
    float starTimer = 0.f;
    bool nextPlanetBuilt = false;
    sf::Vector2f nextPlanetPos;
    sf::Color backgroundGoal = sf::Color(0, 0, 0, 255);
    sf::RectangleShape background;
    ErrandPointer pointer;

private:
    void addPauseMenu();
    void spawnStars(sf::Time elapsed);
    void runTransition(sf::Time elapsed);
    // Toward the errand's target, unless hints are off or the camera is scripted.
    void aimPointer();
};
