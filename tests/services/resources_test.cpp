#include "services/resources.hpp"

#include "platform/files.hpp"
#include "support/test_world.hpp"

#include <SFML/Audio/Music.hpp>
#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

#include <cmath>
#include <filesystem>

namespace {
int countRed(const sf::Image& image) {
    int red = 0;
    for (unsigned y = 0; y < image.getSize().y; ++y)
        for (unsigned x = 0; x < image.getSize().x; ++x)
            if (image.getPixel(x, y) == sf::Color::Red) ++red;
    return red;
}

// Draws a red disc into a layer and puts the layer on the window the way scenes do.
sf::Image drawDiscThroughLayer(TestWorld& world) {
    sf::RenderTexture& layer = *world.resources.layers[2];
    layer.clear(sf::Color::Transparent);
    sf::CircleShape disc(40.f);
    disc.setFillColor(sf::Color::Red);
    disc.setPosition(100.f, 100.f);
    layer.draw(disc);
    sf::Sprite sprite(layer.getTexture());
    sprite.setScale(1.f, -1.f);
    sprite.setOrigin(0.f, static_cast<float>(world.resources.height));
    world.window.setView(world.resources.view);
    world.window.clear(sf::Color::Black);
    world.window.draw(sprite, world.resources.states);
    return world.capture();
}
}  // namespace

TEST(Resources, SetupCreatesSevenLayersOfTheSizeTheWindowWasMadeAt) {
    TestWorld world(400, 300, false);
    // A window manager that maximises the window as it is shown, before the game looks.
    world.window.setSize({640, 480});
    world.resources.setup(world.window);
    ASSERT_EQ(world.resources.layers.size(), 7u);
    for (sf::RenderTexture* layer : world.resources.layers)
        EXPECT_EQ(layer->getSize(), sf::Vector2u(400, 300));
    EXPECT_EQ(world.resources.width, 400);
    EXPECT_EQ(world.resources.height, 300);
    EXPECT_VEC_NEAR(sf::Vector2f(200.f, 150.f), world.resources.view.getCenter());
}

TEST(Resources, DirectoriesAreRootedInTheWorkingDirectory) {
    TestWorld world(480, 320, false);
    const sf::String sep(pathSeparator);
    const sf::String here(std::filesystem::current_path().string());
    EXPECT_EQ(world.resources.contentDir, here + sep + "content" + sep);
    EXPECT_EQ(world.resources.spritesDir, world.resources.contentDir + "sprites" + sep);
    EXPECT_EQ(world.resources.musicDir, world.resources.contentDir + "music" + sep);
}

TEST(Resources, LoadsTheGameAssetsAndRefusesMissingOnes) {
    TestWorld world(480, 320, false);
    EXPECT_EQ(world.resources.loadTexture("sprites.png"), 0);
    EXPECT_EQ(world.resources.textures[0].getSize(), sf::Vector2u(512, 640));
    EXPECT_EQ(world.resources.loadTexture("no-such-sheet.png"), -1);
    EXPECT_EQ(world.resources.textures.size(), 1u);
    EXPECT_EQ(world.resources.loadFont("font.ttf"), 0);
    EXPECT_EQ(world.resources.loadFont("missing.ttf"), -1);
    EXPECT_EQ(world.resources.text->getCharacterSize(), 128u);
    EXPECT_FALSE(world.resources.openMusic("missing.ogg", true));
    EXPECT_TRUE(world.resources.openMusic("Skywaltz.ogg", true));
    EXPECT_TRUE(world.resources.music->getLoop());
}

TEST(Resources, DrawTextPlacesTheTextOnWholePixelsBelowItsY) {
    TestWorld world;
    world.resources.drawText(6, "Resume", 1.f, 0.f, sf::Color::White, 10.7f, 5.2f, 0.f, 0.f);
    EXPECT_VEC_NEAR(sf::Vector2f(10.f, 21.f), world.resources.text->getPosition());
    world.resources.drawText(6, "Resume", 2.f, 0.f, sf::Color::White, 0.f, 0.f, 3.f, 4.f);
    EXPECT_VEC_NEAR(sf::Vector2f(6.f, 8.f), world.resources.text->getOrigin());
}

TEST(Resources, MeasureTextHalfTruncatesEachHalf) {
    TestWorld world;
    const sf::Vector2f full = world.resources.measureText(0, "Quit game");
    const sf::Vector2f half = world.resources.measureTextHalf(0, "Quit game");
    EXPECT_GT(full.x, 0.f);
    EXPECT_FLOAT_EQ(half.x, std::trunc(full.x * 0.5f));
    EXPECT_FLOAT_EQ(half.y, std::trunc(full.y * 0.5f));
    EXPECT_EQ(world.resources.text->getCharacterSize(), 16u);
}

TEST(Resources, LayersStillDrawAfterTheWindowIsRecreatedForFullscreen) {
    TestWorld world;
    EXPECT_GT(countRed(drawDiscThroughLayer(world)), 4000);
    world.resources.setFullscreen(true);
    EXPECT_TRUE(world.resources.fullscreen);
    EXPECT_EQ(world.window.getSize(), sf::Vector2u(1280, 720));
    world.resources.setFullscreen(false);
    EXPECT_EQ(world.window.getSize(), sf::Vector2u(480, 320));
    EXPECT_GT(countRed(drawDiscThroughLayer(world)), 4000);
}

TEST(Resources, FullscreenKeepsTheConfiguredViewStretchedOverTheDesktop) {
    TestWorld world;
    world.resources.view.setCenter(900.f, 900.f);
    world.resources.setFullscreen(true);
    EXPECT_VEC_NEAR(sf::Vector2f(480.f, 320.f), world.resources.view.getSize());
    EXPECT_VEC_NEAR(sf::Vector2f(240.f, 160.f), world.window.getView().getCenter());
    world.resources.setFullscreen(true);  // already on: nothing happens
    EXPECT_TRUE(world.resources.fullscreen);
}
