#pragma once

#include "agents/agent.hpp"
#include "effects/bubble.hpp"

#include <SFML/Graphics/CircleShape.hpp>

class Camera;

// Everything that stands on planets: bound to one planet at a time, pulled toward its centre,
// kept on its surface and turned to it; drifting in its bubble in open space and drawn back
// to the nearest planet after three seconds there. Subclasses decide where to walk: they set
// `velocity` along walkDirection, set `moved` and call animate every frame.
class Spacewalker : public Agent {
public:
    Spacewalker(Resources* resources, AgentList* effects, AgentList* players, AgentList* planets,
                AgentList* items, SoundBank* soundBank, Camera* camera, float x, float y);

    void setup() override;
    void update(sf::Time elapsed) override;
    // Contact with a planet: join it, stand on its surface, or push it away.
    void onCollision(Agent* other) override;
    void onDeath() override;
    void draw() override;
    // "moved" and "onsurface": "yes" while the walker walked this frame / stands on ground.
    sf::String message(Agent* from, const sf::String& text) override;

    void setPlanet(Agent* planet);
    void leavePlanet();
    // The unit tangent of the surface under the walker; sign +1 is rightward when upright.
    sf::Vector2f walkDirection(int sign) const;
    // Chooses the animation and the facing from the horizontal part of `move`.
    void animate(sf::Vector2f move, sf::Time elapsed, bool flipWhenUpsideDown);
    // Gives body and overlay their colours; hue below -0.1 asks for a random one.
    void setupColours(bool overlayBehind, float hue, float spread, bool fixedHue);

    Camera* camera = nullptr;
    Bubble bubble;
    sf::CircleShape body;
    sf::Vector2f gravityDir;
    sf::Sprite overlay;
    float age = 0.f;
    float timer = 0.f;
    float stepTimer = 0.f;
    float popScale = 0.f;
    float spaceTime = 0.f;
    float maxSpaceTime = 3.f;
    bool onPlanet = false;
    bool carrying = false;
    bool moved = false;
    bool alignToGravity = true;
    bool keepSpaceTime = false;
    bool overlayBehind = false;
    int homePlanet = -1;
    bool surfaced = false;
    Agent* planet = nullptr;
    Agent* carried = nullptr;

protected:
    void gravityStep(sf::Time elapsed);
    // The overlay shows the cell directly below the body's cell.
    void syncOverlay();
    void spaceDrift(sf::Time elapsed);
};
