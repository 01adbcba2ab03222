#pragma once

#include <SFML/System/Time.hpp>
#include <SFML/System/Vector2.hpp>
#include <SFML/Window/WindowHandle.hpp>

// Decides which frames are drawn. A focused game draws every frame. An unfocused one stands
// still, so its picture is drawn again only when what it shows changes (the focus, the
// window's size, a re-created window) and otherwise now and then, to mend a window that
// another one covered.
class DrawPacer {
public:
    // What the picture depends on while the world stands still.
    struct Shown {
        bool focused = true;
        sf::Vector2u windowSize;
        sf::WindowHandle window{};
        bool operator==(const Shown& other) const;
    };

    // Whether the frame that showed `now`, `elapsed` after the previous one, is drawn.
    bool due(const Shown& now, sf::Time elapsed);

private:
    Shown drawn;
    sf::Time sinceDrawn;
    bool drawnOnce = false;
};
