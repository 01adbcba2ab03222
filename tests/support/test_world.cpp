#include "support/test_world.hpp"

#include <SFML/Graphics/Texture.hpp>

#include <cmath>

::testing::AssertionResult vectorsNear(sf::Vector2f expected, sf::Vector2f actual,
                                       float tolerance) {
    if (std::fabs(expected.x - actual.x) <= tolerance &&
        std::fabs(expected.y - actual.y) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "expected (" << expected.x << ", " << expected.y << ") but got (" << actual.x << ", "
           << actual.y << ") within " << tolerance;
}

TestWorld::TestWorld(unsigned width, unsigned height, bool loadAssets) {
    resources.title = "SKYWALTZ test";
    resources.window = &window;
    resources.createWindow(sf::VideoMode(width, height, 32), windowedStyle);
    resources.setup(window);
    resources.soundVolume = 100;
    resources.musicVolume = 0;
    input.reset(&resources, true);
    input.devices = &devices;
    devices.window = {width, height};
    soundBank.reset(&resources);
    if (loadAssets) {
        resources.loadFont("font.ttf");
        resources.loadTexture("sprites.png");
    }
}

sf::Image TestWorld::capture() {
    sf::Texture texture;
    texture.create(window.getSize().x, window.getSize().y);
    texture.update(window);
    return texture.copyToImage();
}

void TestWorld::pollInput(int times) {
    for (int i = 0; i < times; ++i) input.update(window);
}

void TestWorld::step(Scene& scene, sf::Time elapsed) {
    input.update(window);
    scene.update(elapsed);
}

void TestWorld::tapKey(Scene& scene, sf::Keyboard::Key key) {
    devices.keys.insert(key);
    step(scene);
    devices.keys.erase(key);
    step(scene);
}
