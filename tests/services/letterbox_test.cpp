#include "services/letterbox.hpp"

#include "support/test_world.hpp"

namespace {
const sf::Vector2u picture{480, 320};
}  // namespace

TEST(Letterbox, KeepsThePicturesShapeAsLargeAsFitsAndCentred) {
    struct Shape {
        sf::Vector2u window;
        sf::IntRect area;
    };
    const Shape shapes[] = {
        {{480, 320}, {0, 0, 480, 320}},        // the configured window: pixel for pixel
        {{1920, 1280}, {0, 0, 1920, 1280}},    // a 3:2 screen: covered, four times as large
        {{1620, 1080}, {0, 0, 1620, 1080}},    // 3:2 at an uneven scale
        {{1920, 1080}, {150, 0, 1620, 1080}},  // wider: black bars left and right
        {{1280, 800}, {40, 0, 1200, 800}},     // 16:10
        {{1080, 1920}, {0, 600, 1080, 720}},   // portrait: bars above and below
        {{1365, 768}, {106, 0, 1152, 768}},    // an odd margin: the extra pixel on the right
        {{481, 1000}, {0, 339, 481, 321}},     // rounded to the nearest whole pixel
    };
    for (const Shape& shape : shapes) {
        const Letterbox box(shape.window, picture);
        EXPECT_EQ(box.area, shape.area) << shape.window.x << " x " << shape.window.y;
    }
    // A covering picture's viewport is exactly the whole window, as the compositor asks.
    EXPECT_EQ(Letterbox({1620, 1080}, picture).viewport(), sf::FloatRect(0.f, 0.f, 1.f, 1.f));
    const sf::FloatRect bars = Letterbox({1920, 1080}, picture).viewport();
    EXPECT_FLOAT_EQ(bars.left * 1920.f, 150.f);
    EXPECT_FLOAT_EQ(bars.width * 1920.f, 1620.f);
    EXPECT_FLOAT_EQ(bars.height, 1.f);
    // A minimised window has no area; nothing divides by it.
    EXPECT_EQ(Letterbox({0, 0}, picture).viewport(), sf::FloatRect(0.f, 0.f, 1.f, 1.f));
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, 0.f), Letterbox({0, 0}, picture).toPicture({5, 5}));
}

TEST(Letterbox, MapsWindowPixelsToThePicturesPointsThroughTheSameTransform) {
    const Letterbox same({480, 320}, picture);
    EXPECT_VEC_NEAR(sf::Vector2f(123.f, 45.f), same.toPicture({123, 45}));

    const Letterbox wide({1920, 1080}, picture);
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, 0.f), wide.toPicture({150, 0}));
    EXPECT_VEC_NEAR(sf::Vector2f(240.f, 160.f), wide.toPicture({960, 540}));
    EXPECT_VEC_NEAR(sf::Vector2f(480.f, 320.f), wide.toPicture({1770, 1080}));
    EXPECT_LT(wide.toPicture({100, 540}).x, 0.f) << "the left bar lies left of the picture";

    const Letterbox portrait({1080, 1920}, picture);
    EXPECT_VEC_NEAR(sf::Vector2f(20.f, 8.f), portrait.toPicture({45, 618}));
    EXPECT_GT(portrait.toPicture({540, 1400}).y, 320.f) << "the lower bar lies below it";
}
