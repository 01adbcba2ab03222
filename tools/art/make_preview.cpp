// Renders a contact sheet of every animation on the sprite sheet, enlarged and tinted the
// way the game tints it: make_preview <sprites.png> <preview.png> [strip name ...]
#include "art/pixel_font.hpp"
#include "art/sheet_layout.hpp"
#include "art/tint.hpp"

#include <SFML/Graphics/Image.hpp>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kZoom = 4;          // preview px per sheet px
constexpr int kPageWidth = 2080;  // px
constexpr int kMargin = 16;       // px around the page
constexpr int kGap = 24;          // px between bands
constexpr int kRowGap = 4;        // px between the rows of one band
constexpr int kLabelScale = 2;    // pixel font scale
constexpr int kLabelSpace = 22;   // px from a band's top to its first row
const sf::Color kPage{18, 16, 36};
const sf::Color kCellBack{30, 28, 58};
const sf::Color kSurfaceLine{70, 64, 110};
const sf::Color kLabel{230, 226, 240};
const sf::Color kUntinted{255, 255, 255};

using art::kBodyTint;
using art::kOverlayTint;
using art::Overlay;
using art::Strip;

struct Layer {
    int sheetTop;
    sf::Color tint;
    float opacity;
};

// How a strip is shown: one row per layer alone, then all layers together as drawn.
struct Band {
    const Strip* strip;
    std::vector<std::vector<Layer>> rows;
    std::string label;
    int x = 0;
    int y = 0;

    int rowHeight() const { return strip->cellHeight * kZoom; }
    int width() const {
        return std::max(strip->cells * strip->cellWidth * kZoom,
                        art::textWidth(label, kLabelScale));
    }
    int height() const {
        return kLabelSpace + static_cast<int>(rows.size()) * (rowHeight() + kRowGap);
    }
};

bool standsOnSurface(const Strip& strip) {
    return strip.ground != art::Ground::Free;
}

std::string runLabel(const char* name, sheet::Run run) {
    return std::string(name) + " " + std::to_string(run.first) + "-" +
           std::to_string(run.first + run.count - 1);
}

std::string labelFor(const Strip& strip) {
    std::string label = std::string(strip.name) + "  " + std::to_string(strip.left) + "," +
                        std::to_string(strip.top) + "  " + std::to_string(strip.cellWidth) + "X" +
                        std::to_string(strip.cellHeight) + "  " + std::to_string(strip.cells) +
                        " FRAMES";
    if (strip.ground == art::Ground::Feet)
        label += "  (" + runLabel("IDLE", sheet::walkerIdle) + ", " +
                 runLabel("RUN", sheet::walkerRunning) + ", " +
                 runLabel("SPACING", sheet::walkerSpacing) + ")";
    if (strip.overlay == Overlay::Behind) label += "  OVERLAY BEHIND";
    return label;
}

Band bandFor(const Strip& strip) {
    Band band{&strip, {}, labelFor(strip)};
    if (strip.overlay == Overlay::None) {
        const bool isBubble = std::string(strip.name) == "bubble";
        const bool isCursor = std::string(strip.name) == "cursor";
        const sf::Color tint = isBubble || isCursor ? kUntinted : kBodyTint;
        band.rows.push_back({{strip.top, tint, isBubble ? 0.5f : 1.f}});
        return band;
    }
    const Layer body{strip.top, kBodyTint, 1.f};
    const Layer overlay{strip.overlayTop(), kOverlayTint, 1.f};
    band.rows.push_back({body});
    band.rows.push_back({overlay});
    if (strip.overlay == Overlay::Behind) {
        band.rows.push_back({overlay, body});
    } else {
        band.rows.push_back({body, overlay});
    }
    return band;
}

void fillRect(sf::Image& image, int x, int y, int w, int h, sf::Color colour) {
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i) {
            image.setPixel(static_cast<unsigned>(i), static_cast<unsigned>(j), colour);
        }
    }
}

void drawBand(sf::Image& page, const sf::Image& sheet, const Band& band) {
    const Strip& s = *band.strip;
    art::drawText(page, band.x, band.y, band.label, kLabel, kLabelScale);
    for (std::size_t row = 0; row < band.rows.size(); ++row) {
        const int top = band.y + kLabelSpace + static_cast<int>(row) * (band.rowHeight() + kRowGap);
        for (int frame = 0; frame < s.cells; ++frame) {
            const int left = band.x + frame * s.cellWidth * kZoom;
            for (int y = 0; y < s.cellHeight; ++y) {
                for (int x = 0; x < s.cellWidth; ++x) {
                    sf::Color colour = kCellBack;
                    bool empty = true;
                    for (const Layer& layer : band.rows[row]) {
                        const sf::Color texel =
                            sheet.getPixel(static_cast<unsigned>(s.left + frame * s.cellWidth + x),
                                           static_cast<unsigned>(layer.sheetTop + y));
                        colour = art::over(art::multiply(texel, layer.tint, layer.opacity), colour);
                        empty = empty && texel.a == 0;
                    }
                    fillRect(page, left + x * kZoom, top + y * kZoom, kZoom, kZoom, colour);
                    // The planet surface runs along the top of this row.
                    if (empty && standsOnSurface(s) && y == s.cellHeight - sheet::standingRow + 1)
                        fillRect(page, left + x * kZoom, top + y * kZoom, kZoom, 1, kSurfaceLine);
                }
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: make_preview <sprites.png> <preview.png> [strip name ...]\n";
        return 2;
    }
    sf::Image sheet;
    if (!sheet.loadFromFile(argv[1])) return 1;
    std::vector<std::string> only(argv + 3, argv + argc);

    std::vector<Band> bands;
    for (const Strip& strip : art::sheetStrips()) {
        if (only.empty() || std::find(only.begin(), only.end(), strip.name) != only.end())
            bands.push_back(bandFor(strip));
    }
    // Shelf packing: bands flow left to right and wrap onto a new shelf when full.
    int x = kMargin;
    int y = kMargin;
    int shelfHeight = 0;
    int pageWidth = 0;
    for (Band& band : bands) {
        if (x > kMargin && x + band.width() > kPageWidth - kMargin) {
            x = kMargin;
            y += shelfHeight + kGap;
            shelfHeight = 0;
        }
        band.x = x;
        band.y = y;
        x += band.width() + kGap;
        shelfHeight = std::max(shelfHeight, band.height());
        pageWidth = std::max(pageWidth, band.x + band.width() + kMargin);
    }
    sf::Image page;
    page.create(static_cast<unsigned>(pageWidth), static_cast<unsigned>(y + shelfHeight + kMargin),
                kPage);
    for (const Band& band : bands) drawBand(page, sheet, band);
    return page.saveToFile(argv[2]) ? 0 : 1;
}
