#pragma once

#include "scenes/scene.hpp"
#include "services/input.hpp"
#include "services/resources.hpp"
#include "services/sound_bank.hpp"
#include "support/fake_devices.hpp"

#include <gtest/gtest.h>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

// Compares two float vectors component by component.
::testing::AssertionResult vectorsNear(sf::Vector2f expected, sf::Vector2f actual,
                                       float tolerance = 1e-4f);
#define EXPECT_VEC_NEAR(expected, actual) EXPECT_TRUE(vectorsNear((expected), (actual)))

// Steps of one 60 Hz frame.
inline sf::Time frame() {
    return sf::milliseconds(16);
}

// A real window with the game's services set up as the game sets them up: the seven layers,
// the sprite sheet as texture 0 and the font, with input read from fake devices.
class TestWorld {
public:
    explicit TestWorld(unsigned width = 480, unsigned height = 320, bool loadAssets = true);

    // The window's current picture.
    sf::Image capture();
    // Runs n input polls so the start-up delay is over.
    void pollInput(int times = 1);
    // One frame as the game runs it: poll the shared input, then update the scene.
    void step(Scene& scene, sf::Time elapsed = frame());
    // Holds `key` down for one frame and lets it go for the next.
    void tapKey(Scene& scene, sf::Keyboard::Key key);

    sf::RenderWindow window;
    Resources resources;
    Input input;
    SoundBank soundBank;
    FakeDevices devices;
};
