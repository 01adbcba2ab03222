#include "scenes/scene.hpp"

#include "agents/messages.hpp"
#include "services/compositor.hpp"
#include "services/input.hpp"
#include "services/resources.hpp"

#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>

namespace {
constexpr float defaultFadeDuration = 0.2f;   // s
constexpr float fadeOpacityRate = 500.f;      // opacity units per fade duration
constexpr float fadeCoverScale = 5.f;         // the cover is this many windows wide and high
constexpr std::size_t drawPrefetchAhead = 8;  // agents
}  // namespace

Scene::Scene() {
    planets.index = &planetIndex;
    items.index = &itemIndex;
}

Scene::~Scene() {
    deleteAgents();
}

void Scene::deleteAgents() {
    for (AgentList* list : {&effects, &players, &planets, &items}) {
        for (Agent* agent : *list) delete agent;
        list->clear();
    }
}

void Scene::init(Resources* r, Input* i, SoundBank* s) {
    resources = r;
    input = i;
    soundBank = s;
    fadeDuration = defaultFadeDuration;
    nextScene = -1;
}

void Scene::enter() {
    paused = goNext = leaving = goBack = quitRequested = false;
    const float w = static_cast<float>(resources->width);
    const float h = static_cast<float>(resources->height);
    resources->view.setSize(w, h);
    resources->view.setCenter(w * 0.5f, h * 0.5f);
    resources->fitPicture();
    fade = fadeDuration;
    fadeRect.setFillColor(sf::Color(0, 0, 0, 255));
    fadeRect.setSize({fadeCoverScale * w, fadeCoverScale * h});
    fadeRect.setOrigin(fadeCoverScale * w * 0.5f, fadeCoverScale * h * 0.5f);
    firstFrame = true;
    input->clearActions();
    for (sf::RenderTexture* layer : resources->layers) layer->clear(sf::Color(0, 0, 0, 255));
    hudLayer = layer::screen;
    camera.reset(resources);
}

void Scene::update(sf::Time elapsed) {
    if (leaving || (!firstFrame && fade > 0.f)) {
        updateFade(elapsed);
        return;
    }
    if (fade <= fadeDuration * 0.5f) onUpdate(elapsed);
    if (!paused) {
        // Between frames anything may have changed; within the walk an agent moves only
        // itself and, an altar, the orb of its own list, and each walk files them again.
        refreshIndexes();
        for (AgentList* list : {&effects, &players, &planets, &items}) walkAgents(*list, elapsed);
        firstFrame = false;
    } else {
        for (Agent* player : players) player->message(player, msg::paused);
    }
}

void Scene::walkAgents(AgentList& list, sf::Time elapsed) {
    // Agents appended during the walk wait for the next frame.
    size_t bound = list.size();
    for (size_t i = 0; i < bound;) {
        Agent* agent = list[i];
        agent->update(elapsed);
        if (agent->dead) agent->onDeath();
        if (agent->removeMe) {
            if (list.index != nullptr) list.index->removed(agent);
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
            delete agent;
            bound -= 1;
        } else {
            if (list.index != nullptr) list.index->moved(agent);
            ++i;
        }
    }
}

void Scene::refreshIndexes() {
    for (AgentList* list : {&effects, &players, &planets, &items})
        if (list->index != nullptr) list->index->refresh();
}

void Scene::onUpdate(sf::Time) {}

void Scene::handleEvent(sf::Event) {}

void Scene::draw() {
    for (AgentList* list : {&effects, &players, &planets, &items}) {
        const std::size_t count = list->size();
        for (std::size_t i = 0; i < count; ++i) {
            // A grown world's agents lie scattered over the heap and most are off screen, so
            // drawing them is mostly waiting for memory: ask for the ones ahead early.
            if (i + drawPrefetchAhead < count) __builtin_prefetch((*list)[i + drawPrefetchAhead]);
            (*list)[i]->draw();
        }
    }
}

void Scene::present() {
    resources->compositor->present(resources->layers, *resources->window);
    if (fade > 0.f) resources->window->draw(fadeRect);
}

void Scene::clearLayers() {
    Layers& layers = resources->layers;
    for (std::size_t i = 0; i < layers.size(); ++i)
        if (static_cast<int>(i) != hudLayer) layers.setView(i, resources->view);
    // Each layer is wiped when it is first drawn into; one left unused is not shown.
    layers.beginFrame();
}

void Scene::updateFade(sf::Time elapsed) {
    if (!leaving) {
        fade -= elapsed.asSeconds();
    } else {
        fade += elapsed.asSeconds();
        if (fade > fadeDuration) goNext = true;
    }
    const int opacity = std::min(255, static_cast<int>(fade * fadeOpacityRate / fadeDuration));
    const sf::Vector2f windowSize = resources->window->getDefaultView().getSize();
    fadeRect.setPosition(windowSize.x / 4.f, windowSize.y / 4.f);
    fadeRect.setFillColor(sf::Color(0, 0, 0, static_cast<sf::Uint8>(std::max(0, opacity))));
}
