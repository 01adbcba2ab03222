#pragma once

#include <SFML/System/String.hpp>

// Every text the agents say to one another, and every reply they give. Agents compare
// texts exactly, so a message is always spelled through one of these names.
namespace msg {
// Walkers and their planets.
inline const sf::String foundYou = "found you";
inline const sf::String lostYou = "lost you";
inline const sf::String surfaced = "surfaced";
inline const sf::String steppinOnU = "steppin on u";
inline const sf::String dying = "dying?";
inline const sf::String die = "die";
inline const sf::String reset = "reset";
inline const sf::String bounce = "bounce";
// Carrying.
inline const sf::String setPlanet = "setplanet";
inline const sf::String pickup = "pickup";
inline const sf::String throwIt = "throw";
inline const sf::String moved = "moved";
inline const sf::String onSurface = "onsurface";
// The space bubble.
inline const sf::String bursting = "bursting";
inline const sf::String hide = "hide";
// The errand.
inline const sf::String orb = "orb?";
inline const sf::String dontRotate = "DON'T ROTATE";
inline const sf::String earnedIt = "You earned it yo";
// The scene, every frame while paused.
inline const sf::String paused = "paused";

// Replies.
inline const sf::String yes = "yes";
inline const sf::String bubbleReply = "eh, wat..";
inline const sf::String walkerReply = "MAN THIS IS SPACE I DON'T CARE";
inline const sf::String playerReply = "COOL THANKS DUDE";
inline const sf::String itemReply = "okay man whatever";
inline const sf::String orbReply = "BAHHHH";
inline const sf::String planetReply = "what's up bro?";
}  // namespace msg

// Agent type names that agents compare to find one another.
namespace agent_name {
inline const sf::String agent = "agent";
inline const sf::String planet = "planet";
inline const sf::String player = "player";
inline const sf::String item = "item";
inline const sf::String npc = "npc";
inline const sf::String altar = "altar";
inline const sf::String splash = "splash";
inline const sf::String particle = "lol particle";
inline const sf::String takenOrb = "ORBBBBB!!!!!1";
}  // namespace agent_name
