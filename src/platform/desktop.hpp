#pragma once

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/System/String.hpp>
#include <SFML/System/Vector2.hpp>
#include <SFML/Window/ContextSettings.hpp>

#include <cstddef>
#include <memory>
#include <vector>

// A rectangle of the desktop in pixels, from the screen's top-left corner.
struct ScreenArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScreenArea& other) const {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
};

// The monitor a window covering `window` stands on: the one holding its centre, else the one
// it overlaps most, else `fallback` (a window wholly off every monitor).
std::size_t monitorUnder(const std::vector<ScreenArea>& monitors, ScreenArea window,
                         std::size_t fallback);

// The top-left corner of a window of `size` centred on `monitor`. A window larger than the
// monitor keeps its top-left corner, and so its title bar, on it.
sf::Vector2i centredOn(ScreenArea monitor, sf::Vector2u size);

// The game's window on the player's desktop. On X11 the game makes the X window itself and lets
// SFML adopt it, so that it is in its place before it is first shown, and it asks the window
// manager for fullscreen the way desktops expect, on the live window. On Windows SFML makes the
// window and the game moves it and changes its style, on the same live window.
class DesktopWindow {
public:
    DesktopWindow();
    ~DesktopWindow();
    DesktopWindow(const DesktopWindow&) = delete;
    DesktopWindow& operator=(const DesktopWindow&) = delete;

    // Opens a window of `size` centred on the primary monitor, with its frame counted, and
    // hands it to `target` unshown where the desktop allows; false when the desktop cannot be
    // reached (the caller lets SFML make one).
    bool open(sf::RenderWindow& target, sf::Vector2u size, bool framed, const sf::String& title,
              const sf::ContextSettings& context);
    // Shows the window opened last, once its title and icon are set.
    void show();
    // Whether the desktop asked to close the window since the last call, by a way SFML does
    // not report.
    bool closeRequested();
    // Takes the window opened last off the screen, once SFML has let go of it.
    void close();
    // Fills the monitor the window stands on, or goes back to a framed window of `size`
    // centred on it. Works on any open window.
    void setFullscreen(sf::RenderWindow& target, bool on, sf::Vector2u size);
    // Asks the window manager for `size` and leaves the window's size to its answer, a resize
    // event: a maximised window the manager keeps so is still drawn at its real size. False
    // when the game is to set the size itself: the display cannot be reached, or, on Windows,
    // the window is not maximised.
    bool askForSize(const sf::RenderWindow& target, sf::Vector2u size);
    // The size `target` was made at, which a window manager may have changed before the game
    // first looks (maximised it as it was shown); the size it has now if it was not opened here.
    sf::Vector2u openedSize(const sf::RenderWindow& target) const;

    // The monitors of the screen, the primary first, or the whole screen when none is reported.
    std::vector<ScreenArea> monitors();
    // The primary monitor, else the first.
    ScreenArea primaryMonitor();
    // The monitor `target` stands on.
    ScreenArea monitorOf(const sf::RenderWindow& target);

private:
    struct Native;  // the desktop's own handles and state, which stay out of the game's headers
    std::unique_ptr<Native> native_;
};
