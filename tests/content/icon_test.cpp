// The desktop and window icon: drawn from the sprite sheet, at every installed size.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "art/icon.hpp"
#include "art/sheet.hpp"
#include "art/sheet_layout.hpp"

namespace {

const unsigned kSizes[] = {32, 64, 128, 256};

std::string installedIcon(unsigned size) {
    const std::string n = std::to_string(size);
    return "icons/hicolor/" + n + "x" + n + "/apps/skywaltz.png";
}

bool samePixels(const sf::Image& a, const sf::Image& b) {
    if (a.getSize() != b.getSize()) return false;
    for (unsigned y = 0; y < a.getSize().y; ++y)
        for (unsigned x = 0; x < a.getSize().x; ++x)
            if (a.getPixel(x, y) != b.getPixel(x, y)) return false;
    return true;
}

bool isOrange(sf::Color c) {
    return c.a == 255 && c.r > c.g + 40 && c.g > c.b + 40;
}
bool isBlue(sf::Color c) {
    return c.a == 255 && c.b > c.g + 40 && c.g > c.r + 40;
}
bool isPaleGreen(sf::Color c) {
    return c.a == 255 && c.g > c.r && c.g > c.b + 40;
}

class Icon : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sheet = new sf::Image(art::drawSheet()); }
    static void TearDownTestSuite() {
        delete sheet;
        sheet = nullptr;
    }
    static sf::Image* sheet;
};
sf::Image* Icon::sheet = nullptr;

TEST_F(Icon, TheGeneratedFilesHaveTheirSizes) {
    for (unsigned size : kSizes) {
        sf::Image icon;
        ASSERT_TRUE(icon.loadFromFile(installedIcon(size))) << installedIcon(size);
        EXPECT_EQ(icon.getSize(), sf::Vector2u(size, size));
    }
}

TEST_F(Icon, TheWindowShowsThe128PxIcon) {
    sf::Image window, desktop;
    ASSERT_TRUE(window.loadFromFile("content/icon.png"));
    ASSERT_TRUE(desktop.loadFromFile(installedIcon(128)));
    EXPECT_TRUE(samePixels(window, desktop));
}

TEST_F(Icon, TheGeneratedFilesAreDrawnFromTheSheet) {
    for (unsigned size : kSizes) {
        sf::Image icon;
        ASSERT_TRUE(icon.loadFromFile(installedIcon(size)));
        EXPECT_TRUE(samePixels(icon, art::drawIcon(*sheet, size))) << size;
    }
}

TEST_F(Icon, TheCornersAreClearAndTheFigureStandsOnThePlanet) {
    for (unsigned size : kSizes) {
        const sf::Image icon = art::drawIcon(*sheet, size);
        const unsigned last = size - 1;
        for (sf::Vector2u corner : {sf::Vector2u{0, 0}, {last, 0}, {0, last}, {last, last}})
            EXPECT_EQ(icon.getPixel(corner.x, corner.y).a, 0) << size;
        // The figure's tinted body down the middle, and the planet right below its feet.
        const unsigned middle = size / 2;
        unsigned lowestFigure = 0, firstPlanet = 0;
        bool body = false;
        for (unsigned y = 0; y < size; ++y) {
            const sf::Color c = icon.getPixel(middle, y);
            if (isOrange(c)) body = true;
            if (isPaleGreen(c) && firstPlanet == 0) firstPlanet = y;
        }
        for (unsigned x = 0; x < size; ++x)
            for (unsigned y = 0; y < size; ++y)
                if ((isOrange(icon.getPixel(x, y)) || isBlue(icon.getPixel(x, y))) &&
                    y > lowestFigure)
                    lowestFigure = y;
        EXPECT_TRUE(body) << size;
        ASSERT_GT(firstPlanet, 0u) << size;
        EXPECT_LT(lowestFigure, firstPlanet) << size;
        EXPECT_LE(firstPlanet - lowestFigure, size / 16 + 2) << size;
    }
}

TEST_F(Icon, ChangingThePlayersIdleCellChangesTheIcon) {
    const art::Strip& player = art::stripNamed("player");
    sf::Image changed = *sheet;
    for (int y = 0; y < player.cellHeight; ++y)
        for (int x = 0; x < player.cellWidth; ++x) {
            const auto px = static_cast<unsigned>(player.left + x);
            const auto py = static_cast<unsigned>(player.top + y);
            if (changed.getPixel(px, py).a != 0) changed.setPixel(px, py, sf::Color(90, 90, 90));
        }
    EXPECT_FALSE(samePixels(art::drawIcon(changed, 64), art::drawIcon(*sheet, 64)));
    // Another strip's cells do not matter.
    const art::Strip& rock = art::stripNamed("rock");
    sf::Image other = *sheet;
    other.setPixel(static_cast<unsigned>(rock.left + 5), static_cast<unsigned>(rock.top + 5),
                   sf::Color::Red);
    EXPECT_TRUE(samePixels(art::drawIcon(other, 64), art::drawIcon(*sheet, 64)));
}

TEST_F(Icon, RefusesSizesItCannotDrawCrisplyAndSheetsWithoutThePlayer) {
    EXPECT_THROW(art::drawIcon(*sheet, 0), std::invalid_argument);
    EXPECT_THROW(art::drawIcon(*sheet, 48), std::invalid_argument);
    sf::Image blank;
    blank.create(art::kSheetWidth, art::kSheetHeight, sf::Color::Transparent);
    EXPECT_THROW(art::drawIcon(blank, 32), std::invalid_argument);
    sf::Image tiny;
    tiny.create(16, 16, sf::Color::White);
    EXPECT_THROW(art::drawIcon(tiny, 32), std::invalid_argument);
}

}  // namespace
