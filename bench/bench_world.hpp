#pragma once

#include "services/input.hpp"
#include "services/resources.hpp"
#include "services/sound_bank.hpp"
#include "world/scene_base.hpp"

#include <SFML/Graphics/RenderWindow.hpp>

#include <functional>
#include <vector>

// Input devices on which nothing is ever pressed: the player stands still.
class IdleDevices : public InputDevices {
public:
    bool isKeyPressed(int) const override { return false; }
    bool isJoystickButtonPressed(int, int) const override { return false; }
    float joystickAxis(int, sf::Joystick::Axis) const override { return 0.f; }
    sf::Vector2i mousePosition(const sf::RenderWindow&) const override { return {0, 0}; }
    sf::Vector2u windowSize(const sf::RenderWindow& window) const override {
        return window.getSize();
    }
    bool isMouseButtonPressed(sf::Mouse::Button) const override { return false; }
};

// One frame's logic as the game runs it: the shared input, then the scene, a 16 ms step.
void runFrame(Input& input, sf::RenderWindow& window, Scene& scene);

// Adds planets to an entered scene as its transition does, until it has `planets` or no spot
// is left, then lets the world settle for ten simulated seconds; `update` runs one frame, so
// each new planet takes its hitbox before the next search. With `stepMs`, the milliseconds of
// each growth step (the free-spot search and the building of the planet) are appended to it.
void growWorld(SceneBase& scene, int planets, const std::function<void()>& update,
               std::vector<double>* stepMs = nullptr);

// The gameplay scene in a real window of its own with the game's services, the sprite sheet
// and the font, grown to a number of planets the way the game grows it.
class BenchWorld {
public:
    BenchWorld(unsigned width, unsigned height);

    // Enters the scene, rebuilds its first planet from `seed` (the scene seeds from the clock)
    // and adds planets as the transition does until there are `planets`, then lets the world
    // settle for ten simulated seconds with the player standing on the first planet.
    void grow(int planets, unsigned seed);
    // The milliseconds of each growth step of `grow`, in order.
    std::vector<double> growthStepMs;
    // One frame's logic as the game runs it: the shared input, then the scene.
    void update();
    // One frame's drawing as the game runs it.
    void draw();

    sf::RenderWindow window;
    Resources resources;
    Input input;
    SoundBank soundBank;
    IdleDevices devices;
    SceneBase scene;  // last: its agents go before the services they use
};
