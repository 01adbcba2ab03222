#pragma once

#include "app/draw_pacer.hpp"
#include "platform/files.hpp"
#include "services/input.hpp"
#include "services/resources.hpp"
#include "services/sound_bank.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/System/Time.hpp>
#include <SFML/Window/Event.hpp>

#include <vector>

class Scene;

// Time left to sleep in a frame of `budget` that has already taken `spent`; zero when the
// frame ran over (a slow frame is not caught up).
sf::Time frameSleep(sf::Time budget, sf::Time spent);

// The time the world simulates for a frame that took `measured`: all of it for any frame a
// running machine gives, at most a tenth of a second after a stall (the process stopped, a
// laptop suspended), so the world resumes where it stood rather than leaping ahead at once.
sf::Time simulatedTime(sf::Time measured);

// The root of the program: owns the window, the scenes and the services, runs the frame loop.
class Game {
public:
    Game() = default;
    virtual ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Opens the window and sets up the services. A subclass extends it with its own
    // assets and scenes.
    virtual void init();
    // Runs frames until the window is closed.
    virtual void mainLoop();
    // One turn of the frame loop, given the time measured since the last: update, then draw
    // (while the game stands unfocused, only when the picture may have changed).
    void frame(sf::Time measured);
    // One frame of logic, given the frame's measured elapsed time.
    virtual void update(sf::Time elapsed);
    // Called every focused frame after input is polled, before the scene updates.
    virtual void onUpdate(sf::Time elapsed);
    // Called after every scene switch.
    virtual void onSceneChange();
    // Moves to the scene the current one asked for (next, chosen or previous).
    virtual void switchScene();
    // Drains the window's event queue, handling focus and handing every event to the scene.
    virtual void handleEvents();
    // Renders one frame.
    virtual void draw();
    // Closes the window, which ends mainLoop.
    virtual void quit();
    virtual void loadSettings(int& width, int& height, bool& fullscreen, int& musicVolume,
                              int& soundVolume, bool& screenShake, int& colorDelay);
    virtual void saveSettings();
    // The whole life of the game; returns the process exit status.
    virtual int run();

    sf::RenderWindow window;
    sf::Event event{};
    std::vector<Scene*> scenes;
    Input input;
    Resources resources;
    SoundBank soundBank;
    bool hasFocus = true;
    bool autoResolution = true;
    bool fullscreenRestorePending = false;
    float fullscreenRestoreTimer = 0.f;
    int currentScene = 0;
    int fallbackScene = 0;
    int frameRate = 60;
    // Set by init when the game cannot start (the sprite sheet is missing); run then
    // returns it without entering a scene.
    int startFailure = 0;
    DrawPacer drawPacer;
    // Where loadSettings and saveSettings find the settings file: the platform's place.
    SettingsPlace settingsFile = settingsPlace();

protected:
    // The texts shown while the window lacks focus, centred on the screen layer.
    void drawFocusMessages();
    // A click's request to go back to the configured size; the picture follows the size the
    // window really gets.
    void askForConfiguredSize();
};
