#include "agents/agent_index.hpp"
#include "agents/messages.hpp"
#include "core/colors.hpp"
#include "core/vector_math.hpp"
#include "items/altar.hpp"
#include "items/npc.hpp"
#include "items/orb.hpp"
#include "items/props.hpp"
#include "services/resources.hpp"
#include "walkers/planet.hpp"
#include "walkers/player.hpp"
#include "world/scene_base.hpp"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {
constexpr float fullTurn = 6.2831852f;  // rad
constexpr float propSpacing = 64.f;     // px of surface per prop angle step, before scaling
constexpr float propStepScale = 0.3f;
constexpr float insideOffset = 5.f;         // px from the centre where props and characters start
constexpr float altarOffset = 15.f;         // px from the centre where the altar and orb start
constexpr float oppositeSide = 3.14f;       // rad between the altar's and the orb's angles
constexpr int maxCharacters = 4;            // rand() % this characters, 0 to 3
constexpr int planetsBeforeCharacters = 2;  // characters only once more planets than this exist
constexpr float backgroundShade = 0.15f;    // of the newest planet's colour in the background goal
constexpr int spotTries = 50;               // angles tried around each planet
constexpr float spotAngleStep = 0.2561843137294009f;  // rad between tries
constexpr float usualGap = 64.f;                      // px between planets
constexpr float everyFourthGap = 128.f;
constexpr float everySeventhGap = 200.f;

// What rand() % 9 draws for a prop's place: one of five props, or (4 in 9) none.
constexpr PropKind propDraws[] = {PropKind::Shroom, PropKind::Rock, PropKind::Pinetree,
                                  PropKind::SmallShroom, PropKind::SmallRock};
constexpr int propDrawRange = 9;

sf::Uint8 shade(sf::Uint8 channel) {
    return static_cast<sf::Uint8>(channel * backgroundShade);
}
}  // namespace

void SceneBase::generatePlanet(float radius, bool withAltar, float x, float y) {
    const float h = hue;
    planets.push_back(
        new Planet(resources, &effects, &players, &planets, &items, soundBank, radius, h, x, y));

    const float step = (propSpacing / radius) * propStepScale;
    for (float a = step * static_cast<float>(rand() % 100) * 0.001f; a < fullTurn; a += step)
        placeProp(h, a, step, x, y);

    float d = static_cast<float>(rand() % 30 + 20) * 0.01f;
    if (rand() % 2 != 0) d = -d;
    const float characterHue = wrap(h + d, 0.f, 1.f);
    if (planets.size() > planetsBeforeCharacters) {
        const int count = rand() % maxCharacters;
        for (int i = 0; i < count; ++i) {
            const sf::Vector2f at = sf::Vector2f(x, y) + polar(randomRadians(), insideOffset);
            items.push_back(new NPC(resources, &effects, &players, &planets, &items, soundBank,
                                    &camera, at.x, at.y, characterHue));
        }
    }

    if (withAltar) {
        const float altarHue = randomHue();
        const float k = randomRadians();
        const sf::Vector2f altarAt = planets.back()->position + polar(k, altarOffset);
        items.push_back(new Altar(resources, &effects, &players, &planets, &items, soundBank,
                                  &camera, altarAt.x, altarAt.y, altarHue, player));
        size_t j = 0;
        if (planets.size() > planetsBeforeCharacters)
            j = static_cast<size_t>(rand() % static_cast<int>(planets.size() - 1));
        const sf::Vector2f orbAt = planets[j]->position + polar(k + oppositeSide, altarOffset);
        items.push_back(new Orb(resources, &effects, &players, &planets, &items, soundBank, &camera,
                                orbAt.x, orbAt.y, altarHue));
    }

    hue = randomHue();
    const sf::Color newest = planets.back()->sprite.getColor();
    backgroundGoal = sf::Color(shade(newest.r), shade(newest.g), shade(newest.b), newest.a);
}

void SceneBase::placeProp(float propHue, float angle, float step, float cx, float cy) {
    const std::size_t draw = static_cast<std::size_t>(rand() % propDrawRange);
    const float a = angle + static_cast<float>((rand() % 100) - 50) * 0.01f * step;
    const sf::Vector2f at = sf::Vector2f(cx, cy) + polar(a, insideOffset);
    if (draw >= std::size(propDraws)) return;
    effects.push_back(new Prop(resources, &effects, &players, &planets, &items, soundBank, &camera,
                               at.x, at.y, propHue, propDraws[draw]));
}

bool SceneBase::findNextPlanetSpot() {
    const float radius = static_cast<float>(rand() % 128 + 64);
    nextPlanetRadius = radius;
    const size_t count = planets.size();
    planetGap = usualGap;
    if (count % 4 == 0) planetGap = everyFourthGap;
    if (count % 7 == 0) planetGap = everySeventhGap;

    const auto blocks = [&](const Agent* other, sf::Vector2f spot) {
        const sf::Vector2f gap = other->position - spot;
        const float clearance = other->hitboxSize.x * 0.5f + radius + planetGap;
        return length(gap) < clearance;
    };
    // The next try lies a little further round, so the planet in the way of the last one is
    // asked first; in a grown world the oldest planets are crowded all round.
    const Agent* inTheWay = nullptr;
    AgentIndex* index = planets.index;
    if (index != nullptr) index->refresh();
    std::vector<AgentIndex::Found> near;
    const auto isFree = [&](sf::Vector2f spot) {
        if (inTheWay != nullptr && blocks(inTheWay, spot)) return false;
        const auto clears = [&](const Agent* other) {
            if (!blocks(other, spot)) return true;
            inTheWay = other;
            return false;
        };
        if (index == nullptr) return std::all_of(planets.begin(), planets.end(), clears);
        const float reach = radius + planetGap;
        index->touching({spot.x - reach, spot.y - reach, 2.f * reach, 2.f * reach}, near);
        return std::all_of(near.begin(), near.end(),
                           [&](const AgentIndex::Found& found) { return clears(found.agent); });
    };

    for (const Agent* neighbour : planets) {
        float k = randomRadians();
        const float distance = radius + neighbour->hitboxSize.x * 0.5f + planetGap;
        for (int attempt = 0; attempt < spotTries; ++attempt) {
            const sf::Vector2f spot = neighbour->position + polar(k, distance);
            if (isFree(spot)) {
                transitionTime = 0.f;
                nextPlanetPos = spot;
                nextPlanetBuilt = false;
                return true;
            }
            k += spotAngleStep;
        }
    }
    return false;
}

void SceneBase::clearWorld() {
    for (Agent* planet : planets) planet->message(nullptr, msg::die);
    for (Agent* item : items) item->dead = true;
    for (Agent* effect : effects) effect->dead = true;
    player->reset();
    // The altar whose ceremony held the camera is gone, and the planet a glide was heading for
    // belonged to the old world: the camera is the player's again.
    resources->cinematic = false;
    transitionTime = -1.f;
}
