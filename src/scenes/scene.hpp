#pragma once

#include "agents/agent.hpp"
#include "agents/agent_index.hpp"
#include "scenes/camera.hpp"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/System/Time.hpp>
#include <SFML/Window/Event.hpp>

class Input;
class Resources;
class SoundBank;

// A screen of the game: owns its agents in four lists and its camera, updates the agents
// each frame, fades in when entered and composites the render layers onto the window.
class Scene {
public:
    Scene();
    virtual ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Called once at start-up with the game's services.
    virtual void init(Resources* resources, Input* input, SoundBank* soundBank);
    // Called whenever the scene becomes current: clears its flags and input actions, covers
    // the screen for the fade-in and resets the camera.
    virtual void enter();
    // Called once per focused frame: the fade, then onUpdate and the agent walk.
    virtual void update(sf::Time elapsed);
    // Called from update once the fade-in is nearly over, also while paused.
    virtual void onUpdate(sf::Time elapsed);
    // Receives every window event.
    virtual void handleEvent(sf::Event event);
    // Called every frame after clearLayers: every agent draws into its layer.
    virtual void draw();
    // Called every frame after draw: the layers and the fade cover go onto the window, which
    // need not have been cleared.
    virtual void present();
    // Starts the frame's drawing: the layers are empty, layers 0-5 in the world view.
    virtual void clearLayers();
    virtual void updateFade(sf::Time elapsed);

    // Runs one frame of the agent walk over `list`, keeping the list's index current; public so
    // tests can walk agents the way a scene does.
    static void walkAgents(AgentList& list, sf::Time elapsed);
    // Brings the indexes of the lists up to what the lists and their agents are now.
    void refreshIndexes();
    // Deletes every agent of the four lists.
    void deleteAgents();

    int nextScene = -1;
    bool paused = false;
    Camera camera;
    sf::RectangleShape fadeRect;
    bool goNext = false;
    bool leaving = false;
    bool goBack = false;
    bool quitRequested = false;
    bool firstFrame = true;
    float fade = 0.2f;
    float fadeDuration = 0.2f;
    int hudLayer = layer::screen;
    AgentList effects, players, planets, items;
    // Where the planets and the items are, for the walkers' and altars' searches.
    AgentIndex planetIndex{planets};
    AgentIndex itemIndex{items};
    Input* input = nullptr;
    Resources* resources = nullptr;
    SoundBank* soundBank = nullptr;
};
