#include "app/game.hpp"
#include "scenes/scene.hpp"
#include "support/test_world.hpp"

#include <vector>

// Last: Xlib's macros would clash with SFML's names.
#include <X11/Xlib.h>

namespace {
// Records what the scene saw of the wheel in each of its updates.
struct WheelScene : Scene {
    void update(sf::Time) override { seen.push_back(input->wheelDelta); }
    std::vector<int> seen;
};

// Scrolls the wheel over `window` the way the X server reports it: a press and a release of
// the wheel's button.
void scrollOver(const sf::RenderWindow& window, bool up) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    for (int type : {ButtonPress, ButtonRelease}) {
        XEvent event{};
        event.xbutton.type = type;
        event.xbutton.display = display;
        event.xbutton.window = window.getSystemHandle();
        event.xbutton.button = up ? Button4 : Button5;
        event.xbutton.same_screen = True;
        event.xbutton.x = event.xbutton.y = 10;
        XSendEvent(display, event.xbutton.window, False,
                   type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
    }
    XSync(display, False);
    XCloseDisplay(display);
}
}  // namespace

TEST(GameWheel, TheSceneSeesTheWheelOnlyInTheFrameWhoseEventsCarriedIt) {
    Game game;
    game.resources.window = &game.window;
    game.resources.createWindow(sf::VideoMode(480, 320, 32), windowedStyle);
    game.resources.setup(game.window);
    game.input.reset(&game.resources, true);
    FakeDevices devices;
    game.input.devices = &devices;
    auto* scene = new WheelScene();
    game.scenes.push_back(scene);
    scene->init(&game.resources, &game.input, &game.soundBank);
    // Other tests' windows on the same X server can take the focus away, and an unfocused
    // game does not update its scene; the focus is not what this test is about.
    const auto focusedFrame = [&game] {
        game.hasFocus = true;
        game.update(sf::milliseconds(16));
    };
    focusedFrame();  // the new window's own events
    scene->seen.clear();

    // The event may take a moment to reach the window's queue: run frames until it has, and
    // scroll again should a focus change have swallowed the frame that carried it.
    constexpr int attempts = 3;
    constexpr int maxFrames = 20000;
    const auto sawWheel = [scene] { return !scene->seen.empty() && scene->seen.back() != 0; };
    for (int attempt = 0; attempt < attempts && !sawWheel(); ++attempt) {
        scrollOver(game.window, true);
        for (int i = 0; i < maxFrames && !sawWheel(); ++i) focusedFrame();
    }
    ASSERT_TRUE(sawWheel()) << "no wheel event arrived";
    ASSERT_EQ(scene->seen.back(), 1);
    focusedFrame();
    focusedFrame();
    const std::vector<int> last(scene->seen.end() - 3, scene->seen.end());
    EXPECT_EQ(last, (std::vector<int>{1, 0, 0}));
}
