// The sprite sheet as the game cuts it: every cell of the table the game and the generator
// share.
#include "core/sprite_sheet.hpp"

#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using sheet::Ground;
using sheet::Overlay;
using sheet::Strip;

const auto& strips() {
    return sheet::strips;
}

constexpr int kFirstSpacingFrame = sheet::walkerSpacing.first;

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool empty() const { return right < 0; }
};

class Sheet : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        image_ = new sf::Image;
        loaded_ = image_->loadFromFile("content/sprites/sprites.png");
    }
    static void TearDownTestSuite() {
        delete image_;
        image_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(loaded_) << "content/sprites/sprites.png did not load"; }

    static sf::Color at(int x, int y) {
        return image_->getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
    }
    static bool opaque(int x, int y) { return at(x, y).a > 0; }

    // Bounding box of the visible pixels of one cell, in cell coordinates.
    static Box boxOf(int left, int top, int width, int height) {
        Box box;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (!opaque(left + x, top + y)) continue;
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
        }
        return box;
    }

    static sf::Image* image_;
    static bool loaded_;
};

sf::Image* Sheet::image_ = nullptr;
bool Sheet::loaded_ = false;

TEST_F(Sheet, Is512By640) {
    EXPECT_EQ(image_->getSize().x, 512u);
    EXPECT_EQ(image_->getSize().y, 640u);
}

TEST_F(Sheet, EveryCellTheGameShowsHasVisiblePixels) {
    for (const Strip& s : strips()) {
        for (int frame = 0; frame < s.frames; ++frame) {
            const int left = s.left + frame * s.cellWidth;
            EXPECT_FALSE(boxOf(left, s.top, s.cellWidth, s.cellHeight).empty())
                << s.name << " frame " << frame;
            if (s.overlay != Overlay::None) {
                EXPECT_FALSE(boxOf(left, s.top + s.cellHeight, s.cellWidth, s.cellHeight).empty())
                    << s.name << " overlay frame " << frame;
            }
        }
    }
}

TEST_F(Sheet, NothingIsDrawnOutsideTheNamedCells) {
    std::vector<bool> used(512 * 640, false);
    for (const Strip& s : strips()) {
        const int rows = s.overlay == Overlay::None ? 1 : 2;
        for (int y = s.top; y < s.top + rows * s.cellHeight; ++y) {
            for (int x = s.left; x < s.left + s.cells * s.cellWidth; ++x) used[y * 512 + x] = true;
        }
    }
    int stray = 0;
    for (int y = 0; y < 640; ++y) {
        for (int x = 0; x < 512; ++x) {
            if (!used[y * 512 + x] && opaque(x, y)) ++stray;
        }
    }
    EXPECT_EQ(stray, 0) << "pixels outside every cell";
}

// A picture reaching the border of its cell has been cut off there.
TEST_F(Sheet, PicturesKeepClearOfTheirCellBorders) {
    for (const Strip& s : strips()) {
        const int rows = s.overlay == Overlay::None ? 1 : 2;
        for (int row = 0; row < rows; ++row) {
            for (int frame = 0; frame < s.frames; ++frame) {
                const int left = s.left + frame * s.cellWidth;
                const int top = s.top + row * s.cellHeight;
                const Box box = boxOf(left, top, s.cellWidth, s.cellHeight);
                if (box.empty()) continue;
                EXPECT_GT(box.left, 0) << s.name << " frame " << frame;
                EXPECT_GT(box.top, 0) << s.name << " frame " << frame;
                EXPECT_LT(box.right, s.cellWidth - 1) << s.name << " frame " << frame;
                EXPECT_LT(box.bottom, s.cellHeight - 1) << s.name << " frame " << frame;
            }
        }
    }
}

TEST_F(Sheet, FrontOverlaysOnlyCoverTheirBody) {
    for (const Strip& s : strips()) {
        if (s.overlay != Overlay::Front) continue;
        for (int frame = 0; frame < s.frames; ++frame) {
            const int left = s.left + frame * s.cellWidth;
            int uncovered = 0;
            for (int y = 0; y < s.cellHeight; ++y) {
                for (int x = 0; x < s.cellWidth; ++x) {
                    if (opaque(left + x, s.top + s.cellHeight + y) && !opaque(left + x, s.top + y))
                        ++uncovered;
                }
            }
            EXPECT_EQ(uncovered, 0)
                << s.name << " frame " << frame << ": overlay pixels off the body";
        }
    }
}

TEST_F(Sheet, BehindOverlaysStayWithinTheirBody) {
    for (const Strip& s : strips()) {
        if (s.overlay != Overlay::Behind) continue;
        for (int frame = 0; frame < s.frames; ++frame) {
            const int left = s.left + frame * s.cellWidth;
            const Box body = boxOf(left, s.top, s.cellWidth, s.cellHeight);
            const Box overlay = boxOf(left, s.top + s.cellHeight, s.cellWidth, s.cellHeight);
            EXPECT_GE(overlay.left, body.left) << s.name << " frame " << frame;
            EXPECT_LE(overlay.right, body.right) << s.name << " frame " << frame;
            EXPECT_GE(overlay.top, body.top) << s.name << " frame " << frame;
            EXPECT_LE(overlay.bottom, body.bottom) << s.name << " frame " << frame;
        }
    }
}

// The surface runs 3 px above the bottom edge of every walker and prop cell.
TEST_F(Sheet, FeetAndBasesStandOnTheFourthRowFromTheBottom) {
    for (const Strip& s : strips()) {
        if (s.ground == Ground::Free) continue;
        const int frames = s.ground == Ground::Feet ? kFirstSpacingFrame : s.frames;
        for (int frame = 0; frame < frames; ++frame) {
            const Box box = boxOf(s.left + frame * s.cellWidth, s.top, s.cellWidth, s.cellHeight);
            EXPECT_EQ(box.bottom, s.cellHeight - 4) << s.name << " frame " << frame;
        }
    }
}

TEST_F(Sheet, DriftingWalkersFloatAboveTheGround) {
    for (const Strip& s : strips()) {
        if (s.ground != Ground::Feet) continue;
        for (int frame = kFirstSpacingFrame; frame < s.frames; ++frame) {
            const Box box = boxOf(s.left + frame * s.cellWidth, s.top, s.cellWidth, s.cellHeight);
            EXPECT_LT(box.bottom, s.cellHeight - 4) << s.name << " frame " << frame;
        }
    }
}

TEST_F(Sheet, AnimationsMove) {
    auto sameCells = [](int leftA, int leftB, int top, int width, int height) {
        for (int y = top; y < top + height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (at(leftA + x, y) != at(leftB + x, y)) return false;
            }
        }
        return true;
    };
    // Each named sequence, as (first frame, frame count), must change from frame to frame.
    for (const Strip& s : strips()) {
        std::vector<std::pair<int, int>> sequences;
        if (s.ground == Ground::Feet) {
            for (const sheet::Run run :
                 {sheet::walkerIdle, sheet::walkerRunning, sheet::walkerSpacing})
                sequences.emplace_back(run.first, run.count);
        } else if (s.frames > 1) {
            sequences = {{0, s.frames}};
        }
        for (const auto& [first, count] : sequences) {
            for (int f = first; f + 1 < first + count; ++f) {
                EXPECT_FALSE(sameCells(s.left + f * s.cellWidth, s.left + (f + 1) * s.cellWidth,
                                       s.top, s.cellWidth, s.cellHeight))
                    << s.name << " frames " << f << " and " << f + 1 << " are identical";
            }
        }
    }
}

// The game tints sprites by multiplying; anything but grey would shift the tints.
TEST_F(Sheet, TintedSpritesAreDrawnInGreys) {
    constexpr int kMaxChannelSpread = 16;
    for (const Strip& s : strips()) {
        if (std::string(s.name) == "bubble") continue;  // drawn untinted, in soap-film colours
        const int rows = s.overlay == Overlay::None ? 1 : 2;
        int coloured = 0;
        for (int y = s.top; y < s.top + rows * s.cellHeight; ++y) {
            for (int x = s.left; x < s.left + s.frames * s.cellWidth; ++x) {
                const sf::Color c = at(x, y);
                if (c.a == 0) continue;
                const int hi = std::max({c.r, c.g, c.b});
                const int lo = std::min({c.r, c.g, c.b});
                if (hi - lo > kMaxChannelSpread) ++coloured;
            }
        }
        EXPECT_EQ(coloured, 0) << s.name;
    }
}

// Light fills with dark outlines: a tint must show on much of a body, and its outline
// must keep it readable against any planet.
TEST_F(Sheet, BodiesAreLightWithDarkOutlines) {
    for (const Strip& s : strips()) {
        if (std::string(s.name) == "bubble") continue;
        int light = 0, dark = 0, visible = 0;
        for (int y = s.top; y < s.top + s.cellHeight; ++y) {
            for (int x = s.left; x < s.left + s.frames * s.cellWidth; ++x) {
                const sf::Color c = at(x, y);
                if (c.a == 0) continue;
                ++visible;
                if (c.r >= 180) ++light;
                if (c.r <= 120) ++dark;
            }
        }
        EXPECT_GT(light * 10, visible * 4) << s.name;
        if (s.ground != Ground::Free) {
            EXPECT_GT(dark, visible / 10) << s.name;
        }
    }
}

}  // namespace
