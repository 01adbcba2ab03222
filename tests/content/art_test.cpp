// The drawing primitives the sprite pictures are built from, and the sheet as a whole.
#include <gtest/gtest.h>

#include <cmath>

#include "art/canvas.hpp"
#include "art/figure.hpp"
#include "art/pixel_font.hpp"
#include "art/sheet.hpp"

namespace {

using art::Cell;
using art::Mask;
using art::Painter;

int count(const Mask& m) {
    int n = 0;
    for (int y = 0; y < m.height(); ++y) {
        for (int x = 0; x < m.width(); ++x) n += m.has(x, y) ? 1 : 0;
    }
    return n;
}

sf::Image blankImage(unsigned w, unsigned h) {
    sf::Image image;
    image.create(w, h, sf::Color::Transparent);
    return image;
}

TEST(Mask, ShapesCoverThePixelsWhoseCentresTheyContain) {
    EXPECT_EQ(count(Mask(8, 8).disc(4.f, 4.f, 1.f)), 4);
    EXPECT_EQ(count(Mask(8, 8).rect(1, 2, 3, 2)), 6);
    // A horizontal capsule one pixel either side of its axis.
    Mask line = Mask(16, 8).capsule(3.f, 4.f, 12.f, 4.f, 1.f);
    EXPECT_TRUE(line.has(3, 3) && line.has(11, 4));
    EXPECT_FALSE(line.has(7, 2) || line.has(7, 5));
    Mask tri = Mask(10, 10).triangle(0.f, 10.f, 10.f, 10.f, 0.f, 0.f);
    EXPECT_TRUE(tri.has(1, 8));
    EXPECT_FALSE(tri.has(8, 1));
}

TEST(Mask, ShapesAreClippedToTheMask) {
    Mask m(4, 4);
    m.disc(0.f, 0.f, 3.f).rect(-5, -5, 2, 20);
    EXPECT_TRUE(m.has(0, 0));
    EXPECT_FALSE(m.has(-1, 0));
    EXPECT_FALSE(m.has(4, 0));
}

TEST(Mask, RingIsTheOutlineJustOutside) {
    const Mask square = Mask(6, 6).rect(2, 2, 2, 2);
    const Mask ring = square.ring();
    EXPECT_EQ(count(ring), 8);  // the four sides, no corners
    EXPECT_TRUE(ring.has(1, 2) && ring.has(4, 3) && ring.has(2, 1) && ring.has(3, 4));
    EXPECT_FALSE(ring.has(1, 1));
    EXPECT_FALSE(ring.has(2, 2));
}

TEST(Mask, SetOperationsAndShifts) {
    Mask a = Mask(6, 6).rect(0, 0, 3, 3);
    const Mask b = Mask(6, 6).rect(2, 2, 3, 3);
    EXPECT_EQ(count(Mask(a).add(b)), 17);
    EXPECT_EQ(count(Mask(a).remove(b)), 8);
    EXPECT_EQ(count(Mask(a).keepOnly(b)), 1);
    const Mask moved = a.shifted(4, 0);
    EXPECT_TRUE(moved.has(4, 0) && moved.has(5, 2));
    EXPECT_EQ(count(moved), 6) << "pixels pushed off the edge are dropped";
}

TEST(Cell, DrawingStaysInsideTheCell) {
    sf::Image image = blankImage(12, 4);
    Cell cell(image, 4, 0, 4, 4);
    cell.paint(cell.blank().rect(-10, -10, 40, 40), sf::Color::White);
    for (unsigned y = 0; y < 4; ++y) {
        EXPECT_EQ(image.getPixel(3, y).a, 0);
        EXPECT_EQ(image.getPixel(4, y), sf::Color::White);
        EXPECT_EQ(image.getPixel(7, y), sf::Color::White);
        EXPECT_EQ(image.getPixel(8, y).a, 0);
    }
    EXPECT_EQ(cell.get(-1, 0).a, 0) << "reads outside the cell see nothing";
}

TEST(Painter, FrontOverlayHoldsOnlyTheVisibleSecondColour) {
    sf::Image image = blankImage(16, 32);
    Cell body(image, 0, 0, 16, 16);
    Cell overlay(image, 0, 16, 16, 16);
    Painter p(body, overlay);
    p.part(p.blank().rect(2, 2, 10, 10), art::ink::white, true);  // second colour
    p.part(p.blank().rect(2, 2, 4, 10), art::ink::white);         // covers its left part
    p.finish();
    EXPECT_EQ(overlay.get(8, 6).a, 255);
    EXPECT_EQ(overlay.get(3, 6).a, 0) << "covered second colour must leave the overlay";
    EXPECT_EQ(body.get(3, 6), art::ink::white);
    EXPECT_EQ(body.get(1, 6), art::ink::outline) << "outline around the silhouette";
    EXPECT_EQ(overlay.get(12, 6), art::ink::outline) << "the overlay's share of the outline";
    EXPECT_EQ(overlay.get(1, 6).a, 0) << "outline of the first-colour part stays in the body";
}

TEST(Painter, OverlayBehindShowsThroughHolesInTheBody) {
    sf::Image image = blankImage(16, 32);
    Cell body(image, 0, 0, 16, 16);
    Cell overlay(image, 0, 16, 16, 16);
    Painter p(body, overlay, Painter::Layering::OverlayBehind);
    p.part(p.blank().rect(2, 2, 10, 10), art::ink::white);
    p.part(p.blank().rect(5, 5, 2, 2), art::ink::white, true);
    p.finish();
    EXPECT_EQ(body.get(5, 5).a, 0) << "the body is cut where the second colour shows";
    EXPECT_EQ(overlay.get(5, 5).a, 255);
    EXPECT_EQ(body.get(1, 6), art::ink::outline);
}

TEST(Bend, MiddleJointKeepsBothBoneLengthsAndPicksItsSide) {
    const art::Point hip{10.f, 10.f}, foot{12.f, 16.f};
    for (bool forward : {true, false}) {
        const art::Point knee = art::bend(hip, foot, 4.f, 4.f, forward);
        EXPECT_NEAR(std::hypot(knee.x - hip.x, knee.y - hip.y), 4.f, 1e-3f);
        EXPECT_NEAR(std::hypot(foot.x - knee.x, foot.y - knee.y), 4.f, 1e-3f);
        // Forward knees sit on the right of the hip-to-foot line.
        const float side =
            (foot.x - hip.x) * (knee.y - hip.y) - (foot.y - hip.y) * (knee.x - hip.x);
        EXPECT_EQ(side < 0.f, forward);
    }
    // Out of reach: the limb stretches straight towards the target.
    const art::Point knee = art::bend(hip, {10.f, 30.f}, 4.f, 4.f, true);
    EXPECT_NEAR(knee.x, 10.f, 0.1f);
    EXPECT_NEAR(knee.y, 14.f, 0.1f);
}

TEST(PixelFont, WritesScaledGlyphsInsideItsAdvance) {
    sf::Image image = blankImage(40, 20);
    art::drawText(image, 1, 1, "a1?", sf::Color::White, 2);
    EXPECT_EQ(art::textWidth("a1?", 2), 36);
    int lit = 0;
    for (unsigned y = 0; y < 20; ++y) {
        for (unsigned x = 0; x < 40; ++x) {
            if (image.getPixel(x, y).a == 0) continue;
            ++lit;
            EXPECT_LT(y, 1u + 14u);
            EXPECT_LT(x, 1u + 24u) << "the unknown '?' draws nothing";
        }
    }
    EXPECT_GT(lit, 40);
    EXPECT_EQ(image.getPixel(1, 1).a, 0) << "'A' has round shoulders";
    EXPECT_EQ(image.getPixel(3, 1).a, 255);
}

TEST(SheetGenerator, IsDeterministicAndTheBuiltSheetIsCurrent) {
    const sf::Image first = art::drawSheet();
    const sf::Image second = art::drawSheet();
    sf::Image built;
    ASSERT_TRUE(built.loadFromFile("content/sprites/sprites.png"));
    ASSERT_EQ(first.getSize(), built.getSize());
    int differentRuns = 0, differentBuilt = 0;
    for (unsigned y = 0; y < first.getSize().y; ++y) {
        for (unsigned x = 0; x < first.getSize().x; ++x) {
            differentRuns += first.getPixel(x, y) != second.getPixel(x, y) ? 1 : 0;
            differentBuilt += first.getPixel(x, y) != built.getPixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(differentRuns, 0);
    EXPECT_EQ(differentBuilt, 0);
}

}  // namespace
