#include <algorithm>
#include <cmath>

#include "art/figure.hpp"
#include "art/pictures.hpp"
#include "core/sprite_sheet.hpp"

namespace art {
namespace {

constexpr float kTau = 6.2831853f;

// Dust is drawn softer than solid things: a mid-grey edge instead of the dark outline.
const sf::Color kDustEdge = ink::shadow;

// One puff of a dust animation: where it is and how big, per frame, in px.
struct Puff {
    float x, y, radius;
};

void drawPuffs(Cell& body, const Puff* puffs, int count) {
    Mask dust = body.blank();
    for (int i = 0; i < count; ++i) {
        if (puffs[i].radius > 0.f) dust.disc(puffs[i].x, puffs[i].y, puffs[i].radius);
    }
    body.paint(dust, ink::white, kDustEdge);
    Mask shade = dust;
    shade.remove(dust.shifted(0, -1));
    body.fill(shade, ink::light);
}

constexpr float kSmallestPuff = 1.2f;  // px; anything smaller vanishes between pixels

// Radius of a puff that swells quickly and then shrinks away over `frames` (the puff
// is gone from frame `frames` on).
float puffRadius(float peak, int frame, int frames) {
    if (frame >= frames) return 0.f;
    const float t = static_cast<float>(frame + 1) / static_cast<float>(frames + 1);
    return std::max(kSmallestPuff, peak * std::sin(3.1415927f * std::pow(t, 0.6f)));
}

// The landing dust's ground runs 26 px down its cell (the sprite is scaled 1.3 tall about
// its centre and hangs 13 px above the surface); the jump dust's at 24 px (scale 1.5).
constexpr float kLandingGround = 25.f;  // px
constexpr float kJumpGround = 23.5f;    // px
constexpr float kRunGround = 12.f;      // px; the run dust hangs 13 px down from the walker

}  // namespace

void drawCursor(Cell& body, Cell&, int) {
    const float c = sheet::cursor.centre().x;
    Mask star = body.blank()
                    .triangle(c - 2.f, c, c + 2.f, c, c, c - 9.f)
                    .triangle(c - 2.f, c, c + 2.f, c, c, c + 9.f)
                    .triangle(c, c - 2.f, c, c + 2.f, c - 9.f, c)
                    .triangle(c, c - 2.f, c, c + 2.f, c + 9.f, c)
                    .disc(c, c, 2.5f);
    body.paint(star, ink::white);
    Mask ring = body.blank().disc(c, c, 6.5f);
    ring.remove(body.blank().disc(c, c, 5.5f));
    ring.remove(star);
    ring.remove(star.ring());
    body.fill(ring, ink::light);
}

void drawLandingDust(Cell& body, Cell&, int frame) {
    const float spread = 3.f + 1.8f * static_cast<float>(frame);
    const float rise = 0.6f * static_cast<float>(frame);
    const float big = puffRadius(3.6f, frame, 7);
    const float small = puffRadius(2.4f, frame, 6);
    const float mid = sheet::landingDust.centre().x;
    const Puff puffs[] = {{mid - spread, kLandingGround - big - rise * 0.5f + 1.f, big},
                          {mid + spread, kLandingGround - big - rise * 0.5f + 1.f, big},
                          {mid - spread * 0.55f, kLandingGround - small - rise + 1.f, small},
                          {mid + spread * 0.55f, kLandingGround - small - rise + 1.f, small}};
    drawPuffs(body, puffs, 4);
}

void drawJumpDust(Cell& body, Cell&, int frame) {
    const float f = static_cast<float>(frame);
    const float near = puffRadius(3.f, frame, 7);
    const float far = puffRadius(2.f, frame, 6);
    const float mid = sheet::jumpDust.centre().x;
    const Puff puffs[] = {{mid - 3.f - 1.6f * f, kJumpGround - near - 0.3f * f, near},
                          {mid + 3.f + 1.6f * f, kJumpGround - near - 0.3f * f, near},
                          {mid - 5.f - 1.4f * f, kJumpGround - far + 0.5f, far},
                          {mid + 5.f + 1.4f * f, kJumpGround - far + 0.5f, far}};
    drawPuffs(body, puffs, 4);
}

void drawRunDust(Cell& body, Cell&, int frame) {
    const float drift = 1.2f * static_cast<float>(frame);
    const float first = puffRadius(2.8f, frame, 7);
    const float second = puffRadius(1.8f, frame, 6);
    const float feet = sheet::runDustFeet.x;
    const Puff puffs[] = {{feet - 4.f - drift, kRunGround - first - 0.4f * frame, first},
                          {feet - 7.f - drift * 1.2f, kRunGround - second, second}};
    drawPuffs(body, puffs, 2);
}

void drawBubble(Cell& body, Cell&, int frame) {
    const float centre = sheet::bubble.centre().x;
    constexpr float kRadius = 29.f;  // px
    constexpr float kRim = 2.2f;     // px
    const float phase = kTau * static_cast<float>(frame) / 4.f;
    for (int y = 0; y < body.height(); ++y) {
        for (int x = 0; x < body.width(); ++x) {
            const float dx = x + 0.5f - centre;
            const float dy = y + 0.5f - centre;
            const float d = std::hypot(dx, dy);
            if (d > kRadius) continue;
            const float angle = std::atan2(dy, dx);
            // Soap-film colours run around the rim and shift a little every frame.
            const float film = angle * 2.f + phase;
            const auto channel = [&](float offset) {
                return static_cast<sf::Uint8>(215.f + 40.f * std::sin(film + offset));
            };
            const float rim = std::clamp((d - (kRadius - kRim * 2.f)) / (kRim * 2.f), 0.f, 1.f);
            const float shimmer = 0.5f + 0.5f * std::sin(angle * 3.f - phase);
            const float alpha = 36.f + rim * (150.f + 60.f * shimmer);
            body.set(x, y,
                     sf::Color(channel(0.f), channel(2.1f), channel(4.2f),
                               static_cast<sf::Uint8>(alpha)));
        }
    }
    // The window highlight slides along the upper left of the film.
    const float at = -2.3f + 0.12f * std::sin(phase);
    Mask highlight = body.blank();
    for (float a = at - 0.35f; a <= at + 0.35f; a += 0.02f) {
        highlight.disc(centre + std::cos(a) * (kRadius - 5.f),
                       centre + std::sin(a) * (kRadius - 5.f), 1.2f);
    }
    body.fill(highlight, sf::Color(255, 255, 255, 235));
    body.fill(body.blank().disc(centre + std::cos(at + 0.6f) * (kRadius - 5.f),
                                centre + std::sin(at + 0.6f) * (kRadius - 5.f), 1.3f),
              sf::Color(255, 255, 255, 235));
}

}  // namespace art
