#pragma once

#include "agents/animator.hpp"
#include "core/draw_layers.hpp"

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderStates.hpp>
#include <SFML/Graphics/Shape.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/System/String.hpp>
#include <SFML/System/Time.hpp>

#include <vector>

class Agent;
class AgentIndex;
class Resources;
class SoundBank;

// An ordered list of agents; insertion order is update order. A scene's list may carry an
// index of where its agents are, which searches of the list then use; a copy is a plain list.
struct AgentList : std::vector<Agent*> {
    using std::vector<Agent*>::vector;
    AgentList() = default;
    AgentList(const AgentList& other) : std::vector<Agent*>(other) {}
    AgentList& operator=(const AgentList& other) {
        std::vector<Agent*>::operator=(other);
        return *this;
    }

    AgentIndex* index = nullptr;
};

// The base of every object in the world. The scene owns agents through its four lists,
// updates each once per unpaused frame, calls onDeath once `dead` is set and deletes the
// agent once onDeath has set `removeMe`.
class Agent {
public:
    // The full form, for agents that look at the world (walkers, planets).
    Agent(Resources* resources, AgentList* effects, AgentList* players, AgentList* planets,
          AgentList* items, SoundBank* soundBank);
    // The light form, for effects that only draw themselves; its lists are null.
    explicit Agent(Resources* resources);
    virtual ~Agent() = default;
    Agent(const Agent&) = delete;
    Agent& operator=(const Agent&) = delete;

    // Stores the scene's four lists.
    virtual void attachWorld(AgentList* effects, AgentList* players, AgentList* planets,
                             AgentList* items);
    // Puts the agent in its starting state; each class calls its base first.
    virtual void setup();
    // Called once per unpaused frame with that frame's elapsed time.
    virtual void update(sf::Time elapsed);
    virtual void onTileHit(const sf::String& side);
    // Called by collideWithList for every agent whose hitbox overlaps this one's.
    virtual void onCollision(Agent* other);
    // Takes `amount` of health; at none left the agent is dead. (x, y) is where the blow
    // came from; f, a, b and k are the design's own slots for how a blow lands, passed on
    // for agents that react to one: nothing in the game reads them yet.
    virtual void damage(float x, float y, float f, int a, int b, int amount, float k);
    // damage from `source`'s place, with k = 0.4.
    virtual void hurt(Agent* source, float f, int a, int b, int amount);
    // Called by the scene in the frame `dead` is set; sets `removeMe` to be deleted.
    virtual void onDeath();
    // Called once per frame to draw into the agent's layer.
    virtual void draw();
    // A text from another agent (`from` may be null); returns the reply: one of the fixed
    // replies, or from the base the text itself, so that no reply is copied.
    virtual const sf::String& message(Agent* from, const sf::String& text);

    // The hitbox centred on `at`; empty (touching nothing) unless the agent is solid.
    sf::FloatRect hitboxRect(sf::Vector2f at) const;
    // Whether the agent's position lies within `margin` of the world view, taken in whole
    // pixels (centre and half size truncated): this, not the exact visibleArea, decides which
    // sprites at the very edge are drawn.
    bool isOnScreen(float margin) const;
    // Calls self->onCollision for every live, non-ghost agent of `list` touching self, in
    // list order; through the list's index when it has one.
    static void collideWithList(Agent* self, AgentList* list);

    Resources* resources = nullptr;
    AgentList* effects = nullptr;
    AgentList* players = nullptr;
    AgentList* planets = nullptr;
    AgentList* items = nullptr;
    SoundBank* soundBank = nullptr;
    sf::Sprite sprite;
    Animator animator;
    sf::Vector2f position;
    sf::Vector2f velocity;
    sf::Vector2f acceleration{0.f, 800.f};
    bool solid = false;
    bool ghost = true;
    sf::Vector2f hitboxSize;
    sf::String name = "agent";
    int layer = layer::planets;
    int health = 1;
    bool dead = false;
    bool removeMe = false;
    float accelerationScale = 1.f;
    // Where the index of this agent's list keeps it; only that index reads it.
    int indexSlot = -1;

    // Hears every message as an agent receives it; set by tests that compare two runs of a
    // world, never by the game.
    using MessageTap = void (*)(const Agent* to, const Agent* from, const sf::String& text);
    static MessageTap messageTap;

protected:
    // Lets the tap hear a received message; every message handler calls it once.
    void heard(const Agent* from, const sf::String& text) const {
        if (messageTap != nullptr) messageTap(this, from, text);
    }

    // Draws the sprite on whole pixels into the agent's layer, without the on-screen test.
    void drawSprite();
    // Draws a shape, an overlay or a disc into the agent's layer unless it lies wholly
    // outside the layer's view, where it could not change a pixel: in a grown world most
    // planets, overlays and discs are far off screen, and sending them to the renderer
    // anyway made the frame's cost grow with the world.
    void drawVisible(const sf::Drawable& drawable, const sf::FloatRect& worldBounds,
                     const sf::RenderStates& states = sf::RenderStates::Default);
    // The same for a sprite, which joins the layer's batch.
    void drawVisible(const sf::Sprite& sprite, const sf::FloatRect& worldBounds,
                     const sf::RenderStates& states = sf::RenderStates::Default);
    // The same for a shape already placed: one far off screen is turned away on a cheap
    // bound of its reach before its exact bounds are worked out.
    void drawVisible(const sf::Shape& shape,
                     const sf::RenderStates& states = sf::RenderStates::Default);
    // Whether a picture of `localBounds`, placed at `at` with the origin and scale of `shape`
    // and turned any way, could reach the layer's view. Far cheaper than its exact bounds, and
    // it answers no only where they would too: a grown world's drawing skips most of its
    // agents with it.
    bool mayReachLayer(sf::Vector2f at, const sf::Transformable& shape,
                       const sf::FloatRect& localBounds) const;

private:
    // collideWithList over only the agents the index finds near self.
    static void collideWithIndexed(Agent* self, AgentIndex& index);
    bool reachesLayer(const sf::FloatRect& worldBounds) const;
};
