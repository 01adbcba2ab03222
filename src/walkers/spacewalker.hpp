#pragma once

#include "agents/agent.hpp"
#include "core/sprite_sheet.hpp"
#include "effects/bubble.hpp"

#include <SFML/Graphics/CircleShape.hpp>

class Camera;

// The animation names walkers switch between; a class that lacks one keeps what it plays.
namespace walker_animation {
inline const sf::String idle = "idle";
inline const sf::String running = "running";
inline const sf::String spacing = "spacing";
}  // namespace walker_animation

// Everything that stands on planets: bound to one planet at a time, pulled toward its centre,
// kept on its surface and turned to it; drifting in its bubble in open space and drawn back
// to the nearest planet after three seconds there. Subclasses decide where to walk: they set
// `velocity` along walkDirection, set `moved` and call animate every frame.
class Spacewalker : public Agent {
public:
    Spacewalker(Resources* resources, AgentList* effects, AgentList* players, AgentList* planets,
                AgentList* items, SoundBank* soundBank, Camera* camera, float x, float y);

    // Called by the constructor; subclasses call it first from their own setup.
    void setup() override;
    // Called once per frame: movement, gravity, planet contact, steps, the space timer and the
    // sprite's turn to its planet. Subclasses decide their walk before calling it.
    void update(sf::Time elapsed) override;
    // Called for every planet whose hitbox overlaps this walker's: join it, stand on its
    // surface, or push it away while standing on another.
    void onCollision(Agent* other) override;
    // Called by the scene once `dead` is set; drops the links without telling the planet.
    void onDeath() override;
    // Body and overlay (in the order `overlayBehind` asks for), and the bubble while drifting.
    void draw() override;
    // "moved" and "onsurface": "yes" while the walker walked this frame / stands on ground.
    const sf::String& message(Agent* from, const sf::String& text) override;

    // Joins planet p ("found you"), leaving the old one first; a null p only leaves.
    void setPlanet(Agent* p);
    // Leaves the planet ("lost you") and floats off into open space.
    void leavePlanet();
    // The unit tangent of the surface under the walker; sign +1 is rightward when upright.
    sf::Vector2f walkDirection(int sign) const;
    // Chooses the animation and the facing from the horizontal part of `move`; with
    // flipWhenUpsideDown the facing is mirrored while the walker hangs under its planet.
    void animate(sf::Vector2f move, sf::Time elapsed, bool flipWhenUpsideDown);
    // Gives body and overlay their colours; hue below -0.1 asks for a random one.
    void setupColours(bool overlayBehind, float hue, float spread, bool fixedHue);
    // The idle, running and spacing animations of a walker's strip, started on idle.
    void setupWalkerLook(const sheet::Strip& strip);
    // Counts `seconds` of running on dustTimer; once more than `interval` has gathered, puts
    // a puff of run dust at the feet, turned to the planet and mirrored with the facing.
    void kickDust(float seconds, float interval);

    Camera* camera = nullptr;
    Bubble bubble;
    sf::CircleShape body;
    sf::Vector2f gravityDir;
    sf::Sprite overlay;
    float age = 0.f;
    // Free for subclasses (0 at setup). The player keeps a yes/no here: 0 after an update
    // on the surface without a jump, Player::airMarker after one off the surface.
    float timer = 0.f;
    float dustTimer = 0.f;
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
    // Gravity toward the planet, ground friction, the turn of gravityDir and planet contact.
    void gravityStep(sf::Time elapsed);
    // The overlay shows the cell directly below the body's cell.
    void syncOverlay();
    // The space timer, the bubble and the homing toward the nearest planet.
    void spaceDrift(sf::Time elapsed);

private:
    void drawOverlay();
    void countSteps(float seconds);
    void land(Agent* other);
    void pushAway(Agent* other);
    void homeIn();
};
