// The sprite sheet as the game cuts it: every cell the game names, written out here from
// the game's own cell table rather than taken from the generator.
#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>

#include <algorithm>
#include <string>
#include <vector>

namespace {

enum class Overlay { None, Front, Behind };
enum class Ground { Free, Feet, Base };

struct Strip {
    std::string name;
    int left, top, width, height;
    int cells;   // on the sheet
    int frames;  // of them shown by the game
    Overlay overlay;
    Ground ground;  // Feet: walkers, whose idle and running frames stand on the surface
};

const std::vector<Strip>& strips() {
    static const std::vector<Strip> all = {
        {"cursor", 0, 0, 32, 32, 1, 1, Overlay::None, Ground::Free},
        {"landing dust", 32, 0, 32, 32, 7, 6, Overlay::None, Ground::Free},
        {"jump dust", 256, 0, 32, 32, 7, 6, Overlay::None, Ground::Free},
        {"player", 0, 32, 32, 32, 16, 16, Overlay::Front, Ground::Feet},
        {"character 2", 0, 96, 32, 32, 16, 16, Overlay::Front, Ground::Feet},
        {"big mushroom", 0, 160, 32, 32, 4, 4, Overlay::Behind, Ground::Base},
        {"small mushroom", 128, 160, 16, 16, 4, 4, Overlay::Front, Ground::Base},
        {"small rock", 192, 160, 16, 16, 4, 4, Overlay::Front, Ground::Base},
        {"rock", 256, 160, 32, 32, 4, 4, Overlay::Front, Ground::Base},
        {"pine tree", 128, 192, 32, 64, 4, 4, Overlay::Behind, Ground::Base},
        {"altar", 384, 192, 32, 64, 4, 4, Overlay::Front, Ground::Base},
        {"run dust", 0, 432, 32, 16, 7, 6, Overlay::None, Ground::Free},
        {"orb", 0, 448, 32, 32, 6, 6, Overlay::Front, Ground::Base},
        {"bubble", 256, 448, 64, 64, 4, 4, Overlay::None, Ground::Free},
        {"character 3", 0, 512, 32, 64, 16, 16, Overlay::Front, Ground::Feet},
    };
    return all;
}

constexpr int kFirstSpacingFrame = 10;

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
            const int left = s.left + frame * s.width;
            EXPECT_FALSE(boxOf(left, s.top, s.width, s.height).empty())
                << s.name << " frame " << frame;
            if (s.overlay != Overlay::None) {
                EXPECT_FALSE(boxOf(left, s.top + s.height, s.width, s.height).empty())
                    << s.name << " overlay frame " << frame;
            }
        }
    }
}

TEST_F(Sheet, NothingIsDrawnOutsideTheNamedCells) {
    std::vector<bool> used(512 * 640, false);
    for (const Strip& s : strips()) {
        const int rows = s.overlay == Overlay::None ? 1 : 2;
        for (int y = s.top; y < s.top + rows * s.height; ++y) {
            for (int x = s.left; x < s.left + s.cells * s.width; ++x) used[y * 512 + x] = true;
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
                const int left = s.left + frame * s.width;
                const int top = s.top + row * s.height;
                const Box box = boxOf(left, top, s.width, s.height);
                if (box.empty()) continue;
                EXPECT_GT(box.left, 0) << s.name << " frame " << frame;
                EXPECT_GT(box.top, 0) << s.name << " frame " << frame;
                EXPECT_LT(box.right, s.width - 1) << s.name << " frame " << frame;
                EXPECT_LT(box.bottom, s.height - 1) << s.name << " frame " << frame;
            }
        }
    }
}

TEST_F(Sheet, FrontOverlaysOnlyCoverTheirBody) {
    for (const Strip& s : strips()) {
        if (s.overlay != Overlay::Front) continue;
        for (int frame = 0; frame < s.frames; ++frame) {
            const int left = s.left + frame * s.width;
            int uncovered = 0;
            for (int y = 0; y < s.height; ++y) {
                for (int x = 0; x < s.width; ++x) {
                    if (opaque(left + x, s.top + s.height + y) && !opaque(left + x, s.top + y))
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
            const int left = s.left + frame * s.width;
            const Box body = boxOf(left, s.top, s.width, s.height);
            const Box overlay = boxOf(left, s.top + s.height, s.width, s.height);
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
            const Box box = boxOf(s.left + frame * s.width, s.top, s.width, s.height);
            EXPECT_EQ(box.bottom, s.height - 4) << s.name << " frame " << frame;
        }
    }
}

TEST_F(Sheet, DriftingWalkersFloatAboveTheGround) {
    for (const Strip& s : strips()) {
        if (s.ground != Ground::Feet) continue;
        for (int frame = kFirstSpacingFrame; frame < s.frames; ++frame) {
            const Box box = boxOf(s.left + frame * s.width, s.top, s.width, s.height);
            EXPECT_LT(box.bottom, s.height - 4) << s.name << " frame " << frame;
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
            sequences = {{0, 4}, {4, 6}, {10, 6}};
        } else if (s.frames > 1) {
            sequences = {{0, s.frames}};
        }
        for (const auto& [first, count] : sequences) {
            for (int f = first; f + 1 < first + count; ++f) {
                EXPECT_FALSE(sameCells(s.left + f * s.width, s.left + (f + 1) * s.width, s.top,
                                       s.width, s.height))
                    << s.name << " frames " << f << " and " << f + 1 << " are identical";
            }
        }
    }
}

// The game tints sprites by multiplying; anything but grey would shift the tints.
TEST_F(Sheet, TintedSpritesAreDrawnInGreys) {
    constexpr int kMaxChannelSpread = 16;
    for (const Strip& s : strips()) {
        if (s.name == "bubble") continue;  // drawn untinted, in soap-film colours
        const int rows = s.overlay == Overlay::None ? 1 : 2;
        int coloured = 0;
        for (int y = s.top; y < s.top + rows * s.height; ++y) {
            for (int x = s.left; x < s.left + s.frames * s.width; ++x) {
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
        if (s.name == "bubble") continue;
        int light = 0, dark = 0, visible = 0;
        for (int y = s.top; y < s.top + s.height; ++y) {
            for (int x = s.left; x < s.left + s.frames * s.width; ++x) {
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
