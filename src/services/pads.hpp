#pragma once

#include <SFML/Window/Joystick.hpp>

#include <iosfwd>
#include <vector>

struct _SDL_GameController;
struct _SDL_Joystick;

// The game pads, read through SDL's game-controller layer. A pad SDL knows answers in the
// Xbox pad's layout whatever its make: buttons 0 A (south), 1 B (east), 2 X (west), 3 Y
// (north), 4 and 5 the shoulders, 6 Back, 7 Start, 8 Guide, 9 and 10 the stick clicks; axes X
// and Y the left stick, Z the right trigger less the left one. A pad SDL does not know answers
// its own button and axis numbers. Pad 0 is the first pad connected of those still there.
class Pads {
public:
    // Starts SDL's pad layer on first use; false from `started` if it could not.
    static Pads& instance();
    ~Pads();
    Pads(const Pads&) = delete;
    Pads& operator=(const Pads&) = delete;

    bool started() const { return running; }
    // Takes in the pads plugged in or pulled out and their latest state; once a frame.
    void poll();
    int count() const { return static_cast<int>(pads.size()); }
    // Whether SDL knows pad `pad`'s layout.
    bool isMapped(int pad) const;
    bool isButtonPressed(int pad, int button) const;
    // -100 to 100, as SFML reads axes.
    float axis(int pad, sf::Joystick::Axis axis) const;

    // Adds the mapping lines of a gamecontrollerdb.txt file, if there is one at `path`, for
    // pads plugged in from then on; a file that cannot be read gets one line on `warnings`.
    void addMappings(const char* path, std::ostream& warnings);

private:
    struct Pad {
        int id;
        _SDL_GameController* controller;
        _SDL_Joystick* joystick;
    };

    Pads();
    void add(int deviceIndex);
    void remove(int id);
    const Pad* find(int pad) const;

    std::vector<Pad> pads;
    bool running = false;
};
