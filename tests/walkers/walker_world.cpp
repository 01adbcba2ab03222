#include "walkers/walker_world.hpp"

#include "agents/messages.hpp"
#include "scenes/scene.hpp"

#include <algorithm>
#include <cmath>

const sf::String& RecordingPlanet::message(Agent* from, const sf::String& text) {
    log.push_back(text);
    return Planet::message(from, text);
}

std::vector<sf::String> RecordingPlanet::said() const {
    std::vector<sf::String> texts;
    for (const sf::String& text : log)
        if (text != msg::dying) texts.push_back(text);
    return texts;
}

int RecordingPlanet::count(const sf::String& text) const {
    return static_cast<int>(std::count(log.begin(), log.end(), text));
}

WalkerWorld::WalkerWorld(TestWorld& t) : test(t) {
    camera.reset(&test.resources);
}

WalkerWorld::~WalkerWorld() {
    for (AgentList* list : {&effects, &players, &planets, &items}) {
        for (Agent* agent : *list) delete agent;
        list->clear();
    }
}

RecordingPlanet* WalkerWorld::addPlanet(float radius, float x, float y, float hue) {
    auto* planet = new RecordingPlanet(&test.resources, &effects, &players, &planets, &items,
                                       &test.soundBank, radius, hue, x, y);
    planet->hitboxSize = {2.f * radius, 2.f * radius};
    planets.push_back(planet);
    return planet;
}

void WalkerWorld::step(int times, sf::Time elapsed) {
    for (int i = 0; i < times; ++i)
        for (AgentList* list : {&effects, &players, &planets, &items})
            Scene::walkAgents(*list, elapsed);
}

bool WalkerWorld::contains(const AgentList& list, const Agent* agent) const {
    return std::find(list.begin(), list.end(), agent) != list.end();
}

int WalkerWorld::countNamed(const AgentList& list, const sf::String& name) const {
    return static_cast<int>(
        std::count_if(list.begin(), list.end(), [&](const Agent* a) { return a->name == name; }));
}

float distance(sf::Vector2f a, sf::Vector2f b) {
    const sf::Vector2f d = a - b;
    return std::sqrt(d.x * d.x + d.y * d.y);
}
