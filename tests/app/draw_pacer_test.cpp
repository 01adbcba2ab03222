#include "app/draw_pacer.hpp"

#include "app/game.hpp"
#include "support/test_world.hpp"

#include <cstdint>

namespace {
// Counts its drawn frames; its focus is what the test sets, whatever the X server says.
struct CountingGame : Game {
    void handleEvents() override {}
    void draw() override { ++drawn; }
    int drawn = 0;
};

// A window's handle is a number on X11 and a pointer on Windows; the pacer only compares them.
sf::WindowHandle handle(std::uintptr_t number) {
    return reinterpret_cast<sf::WindowHandle>(number);
}
}  // namespace

TEST(DrawPacer, FocusedDrawsEveryFrameUnfocusedOnlyWhatChangesAndNowAndThen) {
    DrawPacer pacer;
    const DrawPacer::Shown focused{true, {480, 320}, handle(7)};
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(pacer.due(focused, frame()));

    DrawPacer::Shown away = focused;
    away.focused = false;
    EXPECT_TRUE(pacer.due(away, frame())) << "the focus message appears at once";
    int drawn = 0;
    for (int i = 0; i < 60; ++i)
        if (pacer.due(away, frame())) ++drawn;
    EXPECT_EQ(drawn, 1) << "a still picture is drawn again after half a second, not before";

    away.windowSize = {1920, 1080};
    EXPECT_TRUE(pacer.due(away, frame())) << "a resized window";
    EXPECT_FALSE(pacer.due(away, frame()));
    away.window = handle(8);
    EXPECT_TRUE(pacer.due(away, frame())) << "a re-created window";
    EXPECT_FALSE(pacer.due(away, frame()));
    EXPECT_TRUE(pacer.due(focused, frame())) << "focus back: drawn at once";
}

TEST(DrawPacer, AnUnfocusedGameDrawsFarFewerFrames) {
    CountingGame game;
    game.resources.window = &game.window;
    game.resources.createWindow(sf::VideoMode(480, 320, 32), windowedStyle);
    game.resources.setup(game.window);
    for (int i = 0; i < 60; ++i) game.frame(frame());
    EXPECT_EQ(game.drawn, 60);
    game.hasFocus = false;
    for (int i = 0; i < 60; ++i) game.frame(frame());
    EXPECT_EQ(game.drawn, 62);
}
