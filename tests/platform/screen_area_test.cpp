#include "platform/desktop.hpp"

#include <gtest/gtest.h>

TEST(ScreenArea, AWindowStandsOnTheMonitorOfItsCentreElseTheOneItOverlapsMost) {
    const std::vector<ScreenArea> monitors = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    EXPECT_EQ(monitorUnder(monitors, {2000, 100, 480, 320}, 0), 1u);
    EXPECT_EQ(monitorUnder(monitors, {1800, 500, 200, 100}, 1), 0u);
    // Centre below both monitors: the larger overlap wins.
    EXPECT_EQ(monitorUnder(monitors, {1800, 900, 600, 400}, 0), 1u);
    EXPECT_EQ(monitorUnder(monitors, {5000, 5000, 100, 100}, 1), 1u) << "off every monitor";
}

TEST(ScreenArea, CentringKeepsALargerWindowsCornerOnTheMonitor) {
    EXPECT_EQ(centredOn({1920, 0, 1280, 1024}, {480, 320}), sf::Vector2i(2320, 352));
    EXPECT_EQ(centredOn({1920, 0, 1280, 1024}, {2000, 2000}), sf::Vector2i(1920, 0));
}
