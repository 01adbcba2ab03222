#include "services/sprite_batch.hpp"

#include "agents/agent.hpp"
#include "agents/layer_probe.hpp"
#include "scenes/scene.hpp"
#include "services/resources.hpp"
#include "support/test_world.hpp"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/Sprite.hpp>

#include <vector>

namespace {
constexpr int spriteLayer = 2;

sf::Image layerImage(Resources& resources, int layer) {
    sf::RenderTexture& texture = *resources.layers[static_cast<size_t>(layer)];
    texture.display();
    return texture.getTexture().copyToImage();
}

int differingPixels(const sf::Image& a, const sf::Image& b) {
    int differing = 0;
    for (unsigned y = 0; y < a.getSize().y; ++y)
        for (unsigned x = 0; x < a.getSize().x; ++x)
            if (a.getPixel(x, y) != b.getPixel(x, y)) ++differing;
    return differing;
}

// Cells of the sheet turned, stretched, mirrored both ways, tinted and laid over each other.
std::vector<sf::Sprite> overlappingSprites(const sf::Texture& sheet) {
    std::vector<sf::Sprite> sprites;
    const auto add = [&](sf::IntRect cell, sf::Vector2f at, float rotation, sf::Vector2f scale,
                         sf::Color color) {
        sf::Sprite sprite(sheet, cell);
        sprite.setOrigin(16.f, 16.f);
        sprite.setPosition(at);
        sprite.setRotation(rotation);
        sprite.setScale(scale);
        sprite.setColor(color);
        sprites.push_back(sprite);
    };
    add({0, 0, 32, 32}, {100.f, 100.f}, 0.f, {1.f, 1.f}, sf::Color::White);
    add({32, 0, 32, 32}, {110.f, 104.f}, 37.f, {1.5f, 0.75f}, sf::Color(255, 128, 64, 200));
    add({64, 0, 32, 32}, {96.f, 112.f}, -120.f, {-1.f, 1.f}, sf::Color(64, 255, 255, 255));
    add({128, 32, -32, 32}, {120.f, 96.f}, 0.f, {2.f, 2.f}, sf::Color(255, 255, 255, 120));
    add({0, 64, 64, 32}, {104.4f, 101.7f}, 200.f, {0.5f, -1.25f}, sf::Color(200, 40, 255, 255));
    return sprites;
}

// Exposes the protected culling draw, which overlays go through.
class Painter : public Agent {
public:
    using Agent::Agent;
    using Agent::drawVisible;
};

class SpriteBatchTest : public ::testing::Test {
protected:
    SpriteBatchTest() {
        clearLayer(world.resources, spriteLayer);
        world.resources.layers[spriteLayer]->setView(sf::View({90.f, 80.f}, {480.f, 320.f}));
    }

    TestWorld world;
};
}  // namespace

TEST_F(SpriteBatchTest, PaintsTheSamePixelsInTheSameOrderAsSpritesDrawnOneByOne) {
    ASSERT_FALSE(world.resources.textures.empty());
    const std::vector<sf::Sprite> sprites = overlappingSprites(world.resources.textures[0]);
    sf::RenderStates shifted = world.resources.states;
    shifted.transform.translate(3.f, -2.f);

    sf::RenderTexture& layer = *world.resources.layers[spriteLayer];
    for (const sf::Sprite& sprite : sprites) layer.draw(sprite, world.resources.states);
    layer.draw(sprites[1], shifted);
    const sf::Image oneByOne = layerImage(world.resources, spriteLayer);

    world.resources.layers[spriteLayer]->clear(sf::Color::Transparent);
    for (const sf::Sprite& sprite : sprites)
        world.resources.layers.drawSprite(spriteLayer, sprite, world.resources.states);
    world.resources.layers.drawSprite(spriteLayer, sprites[1], shifted);
    EXPECT_EQ(sprites.size() + 1, world.resources.layers.batch(spriteLayer).pendingSprites());
    const sf::Image batched = layerImage(world.resources, spriteLayer);

    EXPECT_GT(paintedPixels(world.resources, spriteLayer), 1000);
    EXPECT_EQ(0, differingPixels(oneByOne, batched));
}

TEST_F(SpriteBatchTest, WhatIsDrawnIntoTheLayerBetweenSpritesStaysBetweenThem) {
    useWhiteSheet(world.resources);
    world.resources.layers[spriteLayer]->setView(
        world.resources.layers[spriteLayer]->getDefaultView());
    sf::Sprite below(world.resources.textures[0], {0, 0, 40, 40});
    below.setPosition(100.f, 100.f);
    below.setColor(sf::Color::Red);
    sf::Sprite above(below);
    above.setPosition(130.f, 100.f);
    above.setColor(sf::Color::Blue);
    sf::CircleShape disc(20.f);
    disc.setPosition(110.f, 100.f);
    disc.setFillColor(sf::Color::Green);

    world.resources.layers.drawSprite(spriteLayer, below, world.resources.states);
    world.resources.layers[spriteLayer]->draw(disc);
    world.resources.layers.drawSprite(spriteLayer, above, world.resources.states);
    const sf::Image image = layerImage(world.resources, spriteLayer);
    EXPECT_EQ(sf::Color::Red, image.getPixel(105, 120));
    EXPECT_EQ(sf::Color::Green, image.getPixel(120, 120));  // the disc over the red square
    EXPECT_EQ(sf::Color::Blue, image.getPixel(135, 120));   // the blue square over the disc
}

TEST_F(SpriteBatchTest, ARunOfAlikeSpritesIsOneDrawAndEachChangeOfTextureOrBlendStartsAnother) {
    sf::Texture other;
    other.create(32, 32);
    sf::Sprite sheet(world.resources.textures[0], {0, 0, 32, 32});
    sf::Sprite elsewhere(other);
    const SpriteBatch& batch = world.resources.layers.batch(spriteLayer);
    const int before = batch.drawsSent();

    for (int i = 0; i < 40; ++i)
        world.resources.layers.drawSprite(spriteLayer, sheet, world.resources.states);
    EXPECT_EQ(40u, batch.pendingSprites());
    EXPECT_EQ(before, batch.drawsSent());
    world.resources.layers.drawSprite(spriteLayer, elsewhere, world.resources.states);
    EXPECT_EQ(before + 1, batch.drawsSent());
    world.resources.layers.drawSprite(spriteLayer, elsewhere, sf::RenderStates(sf::BlendAdd));
    EXPECT_EQ(before + 2, batch.drawsSent());
    world.resources.layers.flush(spriteLayer);
    EXPECT_EQ(before + 3, batch.drawsSent());
    EXPECT_EQ(0u, batch.pendingSprites());
    world.resources.layers.flush(spriteLayer);  // with nothing waiting there is nothing to send
    EXPECT_EQ(before + 3, batch.drawsSent());
}

TEST_F(SpriteBatchTest, AgentSpritesAndOverlaySpritesInterleavedOverTwoLayersMakeOneRunInEach) {
    Painter low(&world.resources), high(&world.resources);
    low.setup();
    high.setup();
    low.layer = 3;
    high.layer = 4;
    sf::Sprite overlay(world.resources.textures[0], {0, 32, 32, 32});
    for (int i = 0; i < 5; ++i) {
        low.draw();
        low.drawVisible(overlay, overlay.getGlobalBounds());
        high.draw();
    }
    high.drawVisible(overlay, {5000.f, 5000.f, 32.f, 32.f});  // out of view: not drawn at all
    EXPECT_EQ(10u, world.resources.layers.batch(3).pendingSprites());
    EXPECT_EQ(5u, world.resources.layers.batch(4).pendingSprites());
    const int lowDraws = world.resources.layers.batch(3).drawsSent();
    world.resources.layers.flushAll();
    EXPECT_EQ(lowDraws + 1, world.resources.layers.batch(3).drawsSent());
    EXPECT_EQ(0u, world.resources.layers.batch(4).pendingSprites());
}

TEST_F(SpriteBatchTest, PresentingShowsWaitingSpritesAndClearingDropsThemForGood) {
    Scene scene;
    scene.init(&world.resources, &world.input, &world.soundBank);
    scene.enter();
    scene.fade = 0.f;
    useWhiteSheet(world.resources);
    sf::Sprite square(world.resources.textures[0], {0, 0, 20, 20});
    square.setPosition(200.f, 100.f);
    square.setColor(sf::Color::Red);

    scene.clearLayers();
    world.resources.layers.drawSprite(3, square, world.resources.states);
    world.window.clear();
    scene.present();
    EXPECT_EQ(sf::Color::Red, world.capture().getPixel(210, 110));
    for (int layer = 0; layer < Resources::layerCount; ++layer)
        EXPECT_EQ(0u, world.resources.layers.batch(layer).pendingSprites()) << "layer " << layer;

    world.resources.layers.drawSprite(3, square, world.resources.states);
    scene.clearLayers();
    EXPECT_EQ(0u, world.resources.layers.batch(3).pendingSprites());
    EXPECT_EQ(0, paintedPixels(world.resources, 3));
}
