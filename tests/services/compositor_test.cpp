#include "services/compositor.hpp"

#include "effects/splashes.hpp"
#include "items/npc.hpp"
#include "support/test_world.hpp"
#include "walkers/player.hpp"
#include "world/scene_base.hpp"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/System/Sleep.hpp>
#include <SFML/Window/VideoMode.hpp>

#include <cstdlib>
#include <memory>

namespace {
// The frame as the layers reached the window before they were composited: the window cleared
// to black, every layer cleared and drawn in full, then each drawn upside up over the whole
// window in index order, and the fade cover on top.
sf::Image drawnLayerByLayer(TestWorld& world, SceneBase& scene) {
    Resources& resources = world.resources;
    world.window.clear(sf::Color::Black);
    for (std::size_t i = 0; i < resources.layers.size(); ++i) {
        sf::RenderTexture* layer = resources.layers[i];
        if (static_cast<int>(i) != scene.hudLayer) layer->setView(resources.view);
        layer->clear(sf::Color::Transparent);
    }
    scene.background.setPosition(scene.camera.position);
    resources.layers[0]->draw(scene.background);
    if (!scene.paused) scene.pointer.draw(resources, scene.hudLayer);
    scene.Menu::draw();
    sf::Sprite layerSprite;
    layerSprite.setScale(1.f, -1.f);
    layerSprite.setOrigin(0.f, static_cast<float>(resources.height));
    for (sf::RenderTexture* layer : resources.layers) {
        layerSprite.setTexture(layer->getTexture(), true);
        world.window.draw(layerSprite, resources.states);
    }
    if (scene.fade > 0.f) world.window.draw(scene.fadeRect);
    return world.capture();
}

sf::Image composited(TestWorld& world, SceneBase& scene) {
    scene.clearLayers();
    scene.draw();
    scene.present();
    return world.capture();
}

::testing::AssertionResult samePicture(const sf::Image& expected, const sf::Image& actual) {
    if (expected.getSize() != actual.getSize())
        return ::testing::AssertionFailure() << "the pictures differ in size";
    const sf::Vector2u size = expected.getSize();
    int differing = 0;
    sf::Vector2u first;
    for (unsigned y = 0; y < size.y; ++y)
        for (unsigned x = 0; x < size.x; ++x)
            if (expected.getPixel(x, y) != actual.getPixel(x, y) && differing++ == 0)
                first = {x, y};
    if (differing == 0) return ::testing::AssertionSuccess();
    const sf::Color e = expected.getPixel(first.x, first.y), a = actual.getPixel(first.x, first.y);
    return ::testing::AssertionFailure()
           << differing << " pixels differ, the first at (" << first.x << ", " << first.y
           << "): expected " << int(e.r) << "," << int(e.g) << "," << int(e.b) << " but got "
           << int(a.r) << "," << int(a.g) << "," << int(a.b);
}

// The gameplay scene with every layer in use, in a window of the given size; with
// `fullscreen` the window then becomes the desktop-sized one.
class CompositorTest : public ::testing::Test {
protected:
    void open(unsigned width, unsigned height, bool fullscreen) {
        world = std::make_unique<TestWorld>(width, height);
        if (fullscreen) {
            world->resources.setFullscreen(true);
            // The window grows on the X server's time: let its new size arrive, as the
            // game's own event loop does, before the first picture is taken.
            world->window.display();
            sf::sleep(sf::milliseconds(100));
            for (sf::Event event; world->window.pollEvent(event);) {
            }
        }
        scene.init(&world->resources, &world->input, &world->soundBank);
        scene.enter();
        srand(4321);
        scene.player->input.devices = &world->devices;
        world->pollInput(3);
    }
    // Runs frames as the game does, drawing each through the compositor.
    void play(int frames) {
        for (int i = 0; i < frames; ++i) {
            world->step(scene);
            composited(*world, scene);
        }
    }
    void tap(sf::Keyboard::Key key) {
        world->devices.keys.insert(key);
        play(1);
        world->devices.keys.erase(key);
        play(1);
    }
    void expectSamePicture(const char* what) {
        const sf::Image fresh = composited(*world, scene);
        EXPECT_TRUE(samePicture(drawnLayerByLayer(*world, scene), fresh)) << what;
        // The next composited frame follows one that painted every layer in full.
        play(1);
        EXPECT_TRUE(samePicture(drawnLayerByLayer(*world, scene), composited(*world, scene)))
            << what << ", after a frame drawn layer by layer";
    }
    // The world while the fade-in runs, then with stars, a drifting player in its bubble,
    // a character, dust and bursts, then under a fading cover, then with the pause menu.
    void expectEveryPictureTheSame() {
        play(3);
        ASSERT_GT(scene.fade, 0.f);
        expectSamePicture("fade-in");
        play(90);
        scene.items.push_back(new NPC(&world->resources, &scene.effects, &scene.players,
                                      &scene.planets, &scene.items, &world->soundBank,
                                      &scene.camera, 30.f, -80.f, 0.3f));
        tap(sf::Keyboard::Space);
        for (int i = 0; i < 6; ++i)
            scene.effects.push_back(
                new BallSplash(&world->resources, 40.f, sf::Color(255, 220, 160, 255), 12.f,
                               scene.player->position.x, scene.player->position.y));
        play(20);
        ASSERT_FALSE(scene.player->onPlanet);
        expectSamePicture("drifting in the bubble");
        scene.fade = 0.05f;
        scene.updateFade(sf::Time::Zero);
        expectSamePicture("under a fading cover");
        scene.fade = 0.f;
        tap(sf::Keyboard::Escape);
        ASSERT_TRUE(scene.paused);
        scene.showCursor = false;  // the texts alone, for the first picture
        expectSamePicture("pause menu");
    }

    std::unique_ptr<TestWorld> world;
    SceneBase scene;
};
}  // namespace

TEST_F(CompositorTest, WindowOfTheLayersSizeShowsTheSamePicture) {
    open(480, 320, false);
    expectEveryPictureTheSame();
}

TEST_F(CompositorTest, LayersLetterboxedOnTheDesktopShowTheSamePictureBetweenBlackBars) {
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    if (desktop.width * 320 == desktop.height * 480) GTEST_SKIP() << "a 3:2 desktop has no bars";
    open(480, 320, true);
    ASSERT_NE(world->window.getView().getViewport(), sf::FloatRect(0.f, 0.f, 1.f, 1.f));
    expectEveryPictureTheSame();
    const sf::Image picture = composited(*world, scene);
    const sf::Vector2u size = picture.getSize();
    EXPECT_EQ(picture.getPixel(0, 0), sf::Color::Black);
    EXPECT_EQ(picture.getPixel(size.x - 1, size.y - 1), sf::Color::Black);
    EXPECT_NE(picture.getPixel(size.x / 2, size.y / 2), sf::Color::Black);
}

TEST_F(CompositorTest, LayersStretchedOverAWindowOfTheirShapeShowTheSamePicture) {
    open(480, 320, false);
    world->window.setSize({960, 640});
    world->resources.fitPicture();
    ASSERT_EQ(world->window.getView().getViewport(), sf::FloatRect(0.f, 0.f, 1.f, 1.f));
    expectEveryPictureTheSame();
    const sf::Image picture = composited(*world, scene);
    EXPECT_NE(picture.getPixel(959, 639), sf::Color::Black) << "no bars on a window of its shape";
}

TEST_F(CompositorTest, DesktopResolutionShowsTheSamePicture) {
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    open(desktop.width, desktop.height, true);
    ASSERT_EQ(world->window.getSize(), sf::Vector2u(desktop.width, desktop.height));
    expectEveryPictureTheSame();
}
