#include "agents/messages.hpp"

#include "agents/agent.hpp"
#include "effects/bubble.hpp"
#include "effects/splashes.hpp"
#include "effects/star.hpp"
#include "support/test_world.hpp"
#include "walkers/planet.hpp"

TEST(Message, BaseAgentsEchoAnyTextEvenWithoutASender) {
    TestWorld world;
    Agent agent(&world.resources);
    Star star(&world.resources, sf::Color(10, 10, 10), 0.f, 0.f);
    LandingSplash splash(&world.resources, 0.f, sf::Color::White, 0.f, 0.f);
    for (Agent* receiver : {&agent, static_cast<Agent*>(&star), static_cast<Agent*>(&splash)}) {
        for (const char* text : {"found you", "Hello there ", ""})
            EXPECT_EQ(text, receiver->message(nullptr, text).toAnsiString());
        EXPECT_EQ("die", receiver->message(receiver, msg::die).toAnsiString());
    }
}

TEST(Message, TextsDifferingInCaseOrByATrailingSpaceAreUnknown) {
    TestWorld world;
    Planet planet(&world.resources, nullptr, nullptr, nullptr, nullptr, nullptr, 64.f, 0.f, 0.f,
                  0.f);
    for (const char* text : {"Die", "DIE", "die ", " die", "found you ", "Found you", "bounce "})
        EXPECT_EQ(msg::planetReply, planet.message(nullptr, text));
    EXPECT_FALSE(planet.dying);
    EXPECT_FALSE(planet.occupied);
    planet.wobble = 0.f;
    planet.message(nullptr, "Bounce");
    EXPECT_FLOAT_EQ(0.f, planet.wobble);

    planet.message(nullptr, msg::die);
    for (const char* text : {"Dying?", "dying", "dying? "})
        EXPECT_EQ(msg::planetReply, planet.message(nullptr, text));
    EXPECT_EQ(msg::yes, planet.message(nullptr, "dying?"));

    Bubble bubble(&world.resources);
    bubble.message(nullptr, "Bursting");
    bubble.message(nullptr, "bursting ");
    EXPECT_FALSE(bubble.bursting);
}
