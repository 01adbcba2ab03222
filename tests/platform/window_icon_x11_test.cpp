#include "services/resources.hpp"

#include "support/test_world.hpp"

#include <SFML/System/Clock.hpp>
#include <SFML/System/Sleep.hpp>

// Last: Xlib's macros would clash with SFML's names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {
// The size of the icon the window hands the window manager, or (0, 0) when it has none.
// SFML gives it as the pixmap in the window's WM hints.
sf::Vector2u iconSizeOf(const sf::Window& window) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return {0, 0};
    sf::Vector2u size{0, 0};
    if (XWMHints* hints = XGetWMHints(display, window.getSystemHandle())) {
        if ((hints->flags & IconPixmapHint) != 0) {
            ::Window root;
            int x, y;
            unsigned width, height, border, depth;
            if (XGetGeometry(display, hints->icon_pixmap, &root, &x, &y, &width, &height, &border,
                             &depth) != 0)
                size = {width, height};
        }
        XFree(hints);
    }
    XCloseDisplay(display);
    return size;
}

// The hints come over the game's own X connection: give the server a moment to have them.
sf::Vector2u awaitIconSize(const sf::Window& window, sf::Vector2u expected) {
    sf::Clock clock;
    sf::Vector2u size = iconSizeOf(window);
    while (size != expected && clock.getElapsedTime() < sf::seconds(5)) {
        sf::sleep(sf::milliseconds(20));
        size = iconSizeOf(window);
    }
    return size;
}
}  // namespace

TEST(WindowIcon, TheWindowShowsTheIconFromTheContentFolder) {
    TestWorld world(480, 320, false);
    EXPECT_EQ(iconSizeOf(world.window), sf::Vector2u(0, 0));
    ASSERT_TRUE(world.resources.loadIcon("icon.png"));
    EXPECT_EQ(world.resources.icon.getSize(), sf::Vector2u(128, 128));
    EXPECT_EQ(awaitIconSize(world.window, {128, 128}), sf::Vector2u(128, 128));
}

TEST(WindowIcon, EveryWindowFullscreenCreatesKeepsTheIcon) {
    TestWorld world(480, 320, false);
    ASSERT_TRUE(world.resources.loadIcon("icon.png"));
    world.resources.setFullscreen(true);
    EXPECT_EQ(awaitIconSize(world.window, {128, 128}), sf::Vector2u(128, 128));
    world.resources.setFullscreen(false);
    EXPECT_EQ(awaitIconSize(world.window, {128, 128}), sf::Vector2u(128, 128));
}

TEST(WindowIcon, AMissingIconLeavesTheWindowWithoutOne) {
    TestWorld world(480, 320, false);
    EXPECT_FALSE(world.resources.loadIcon("no-such-icon.png"));
    EXPECT_EQ(world.resources.icon.getSize(), sf::Vector2u(0, 0));
    world.resources.setFullscreen(true);
    EXPECT_TRUE(world.window.isOpen());
    EXPECT_EQ(iconSizeOf(world.window), sf::Vector2u(0, 0));
}
