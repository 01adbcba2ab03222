#pragma once

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/System/Clock.hpp>
#include <SFML/System/String.hpp>
#include <SFML/System/Vector2.hpp>
#include <SFML/Window/ContextSettings.hpp>

#include <cstddef>
#include <vector>

// A rectangle of the X screen in pixels, from the screen's top-left corner.
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

// The game's window on the player's X11 desktop. The game makes the X window itself and lets
// SFML adopt it, so that it is in its place before it is first shown, and it asks the window
// manager for fullscreen the way desktops expect, on the live window.
class DesktopWindow {
public:
    DesktopWindow() = default;
    ~DesktopWindow();
    DesktopWindow(const DesktopWindow&) = delete;
    DesktopWindow& operator=(const DesktopWindow&) = delete;

    // Makes an unmapped window of `size` centred on the primary monitor and hands it to
    // `target`; false when the display cannot be reached (the caller lets SFML make one).
    bool open(sf::RenderWindow& target, sf::Vector2u size, bool framed, const sf::String& title,
              const sf::ContextSettings& context);
    // Shows the window opened last, once its title and icon are set.
    void show();
    // Whether the window manager asked to close the window since the last call.
    bool closeRequested();
    // Takes the window opened last off the screen, once SFML has let go of it.
    void close();
    // Fills the monitor the window stands on, or goes back to a framed window of `size`
    // centred on it. Works on any open window.
    void setFullscreen(sf::RenderWindow& target, bool on, sf::Vector2u size);
    // Asks the window manager for `size` and leaves the window's size to its answer, a resize
    // event: a maximised window the manager keeps so is still drawn at its real size. False
    // when the display cannot be reached.
    bool askForSize(const sf::RenderWindow& target, sf::Vector2u size);

    // The monitors of the screen (XRandR), or the whole screen when it reports none.
    std::vector<ScreenArea> monitors();
    // The primary monitor, else the first.
    ScreenArea primaryMonitor();
    // The monitor `target` stands on.
    ScreenArea monitorOf(const sf::RenderWindow& target);

private:
    // The sides of the frame a window manager puts around a window, in pixels.
    struct Frame {
        unsigned left = 0, right = 0, top = 0, bottom = 0;
    };
    bool connect();
    Frame frameOf(unsigned long window);
    // Where the frame's corner goes for the framed window of `size` to stand centred.
    sf::Vector2i framedCorner(ScreenArea monitor, sf::Vector2u size) const;
    void destroyWindow();
    void setDecorated(unsigned long window, bool framed);
    bool managerSupports(const char* feature);
    void askForFullscreen(unsigned long window, bool on);
    // Returns once the window manager has shown `window`, the one shown last, in its place,
    // or a second after it was shown.
    void awaitPlacement(unsigned long window);

    void* display_ = nullptr;  // Display*; Xlib's names stay out of the game's headers
    unsigned long window_ = 0;
    sf::RenderWindow* target_ = nullptr;
    Frame frame_;
    sf::Vector2i askedCorner_;  // where the window shown last asked its frame to stand
    sf::Clock shown_;           // since the window was shown last
};
