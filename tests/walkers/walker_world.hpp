#pragma once

#include "agents/agent.hpp"
#include "scenes/camera.hpp"
#include "support/test_world.hpp"
#include "walkers/planet.hpp"

#include <SFML/System/String.hpp>

#include <vector>

// A planet that remembers every text it was sent, in order.
class RecordingPlanet : public Planet {
public:
    using Planet::Planet;
    const sf::String& message(Agent* from, const sf::String& text) override;

    // The texts received, without the "dying?" questions walkers ask every update.
    std::vector<sf::String> said() const;
    int count(const sf::String& text) const;

    std::vector<sf::String> log;
};

// The gameplay scene's four lists and camera, walked the way the scene walks them: every
// agent's update, then onDeath once it is dead, then erase and delete once it asks for it.
class WalkerWorld {
public:
    explicit WalkerWorld(TestWorld& test);
    ~WalkerWorld();
    WalkerWorld(const WalkerWorld&) = delete;
    WalkerWorld& operator=(const WalkerWorld&) = delete;

    // A planet that walkers can stand on at once (its hitbox already has its full size).
    RecordingPlanet* addPlanet(float radius, float x, float y, float hue = 0.3f);

    // Builds a walker-like agent with the world's services and appends it to `list`.
    template <class T, class... Args>
    T* add(AgentList& list, float x, float y, Args... args) {
        T* agent = new T(&test.resources, &effects, &players, &planets, &items, &test.soundBank,
                         &camera, x, y, args...);
        list.push_back(agent);
        return agent;
    }

    // `times` frames of the walk over effects, players, planets and items, in that order.
    void step(int times = 1, sf::Time elapsed = frame());

    bool contains(const AgentList& list, const Agent* agent) const;
    int countNamed(const AgentList& list, const sf::String& name) const;

    TestWorld& test;
    AgentList effects, players, planets, items;
    Camera camera;
};

// Distance between two points.
float distance(sf::Vector2f a, sf::Vector2f b);
