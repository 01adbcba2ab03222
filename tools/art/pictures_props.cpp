#include <algorithm>
#include <cmath>

#include "art/figure.hpp"
#include "art/pictures.hpp"
#include "core/sprite_sheet.hpp"

namespace art {
namespace {

constexpr float kTau = 6.2831853f;
using Layering = Painter::Layering;

// Row of the lowest pixels: the row props stand on.
float baseRow(const Painter& p) {
    return static_cast<float>(p.height() - sheet::standingRow);
}

// One gentle back-and-forth per animation loop, -1..1.
float swayOf(int frame, int frames) {
    return std::sin(kTau * static_cast<float>(frame) / static_cast<float>(frames));
}

// -- mushrooms -------------------------------------------------------------------------------

// Sizes of a mushroom, in px; `spots` holes are cut in the cap when the overlay is behind.
struct MushroomShape {
    float stemHalfWidth;
    float stemHeight;
    float capHalfWidth;
    float capHeight;
    float squash;  // px the cap sinks and widens at the bottom of its bounce
};

constexpr MushroomShape kBigMushroom{2.6f, 9.f, 11.f, 9.f, 1.f};
constexpr MushroomShape kSmallMushroom{1.2f, 4.f, 4.5f, 3.5f, 1.f};

Mask capMask(const Painter& p, float cx, float rimY, float halfWidth, float height) {
    Mask cap = p.blank().ellipse(cx, rimY, halfWidth, height);
    cap.remove(p.blank().rect(0, static_cast<int>(std::ceil(rimY)), p.width(), p.height()));
    cap.ellipse(cx, rimY, halfWidth, 1.2f);
    return cap;
}

void drawMushroomShape(Painter& p, const MushroomShape& m, float cx, int frame, bool spotted) {
    const float bounce = 0.5f * (1.f - std::cos(kTau * frame / 4.f));  // 0..1
    const float base = baseRow(p) - 0.5f;
    const float rimY = base - m.stemHeight + m.squash * bounce;
    const float half = m.capHalfWidth + 0.5f * m.squash * bounce;
    Mask stem = p.blank().rect(static_cast<int>(cx - m.stemHalfWidth), static_cast<int>(rimY),
                               static_cast<int>(2.f * m.stemHalfWidth + 0.5f),
                               static_cast<int>(base - rimY + 1.f));
    stem.ellipse(cx, base - 0.5f, m.stemHalfWidth + 1.f, 1.2f);
    p.shadedPart(stem, ink::light, ink::mid);
    const Mask cap = capMask(p, cx, rimY, half, m.capHeight - m.squash * bounce);
    if (spotted) {
        // The whole cap is the overlay; the body cap is cut away where the spots are.
        p.part(cap, ink::white, true);
        Mask shell = cap;
        const float top = rimY - m.capHeight;
        shell.remove(p.blank()
                         .disc(cx - half * 0.45f, rimY - m.capHeight * 0.45f, 1.8f)
                         .disc(cx + half * 0.35f, top + m.capHeight * 0.3f, 2.1f)
                         .disc(cx + half * 0.75f, rimY - 2.2f, 1.3f)
                         .disc(cx - half * 0.1f, top + 1.6f, 1.2f));
        p.detail(shell, ink::white);
        Mask shade = shell;
        shade.remove(shell.shifted(-1, -1));
        p.detail(shade, ink::light);
    } else {
        p.shadedPart(cap, ink::white, ink::light, true);
    }
    p.detail(p.blank().capsule(cx - half + 1.5f, rimY + 0.5f, cx + half - 1.5f, rimY + 0.5f, 0.5f),
             ink::mid);
}

// -- rocks -----------------------------------------------------------------------------------

// A boulder is a few overlapping lumps; crystals grow out of it in the second colour.
struct Lump {
    float x, y, rx, ry;  // px, relative to the base centre
};

struct Crystal {
    float x, height, halfWidth, lean;  // px; the tip leans right by `lean`
};

struct RockShape {
    Lump lumps[3];
    Crystal crystals[2];
};

constexpr RockShape kRock{{{-3.5f, -5.f, 7.f, 5.5f}, {4.f, -4.f, 6.f, 4.5f}, {0.f, -8.f, 5.f, 4.f}},
                          {{3.5f, 16.f, 3.4f, 1.5f}, {-1.f, 12.f, 2.6f, -2.f}}};
constexpr RockShape kSmallRock{
    {{-1.5f, -2.2f, 3.8f, 2.6f}, {2.5f, -1.8f, 2.5f, 2.f}, {-0.5f, -3.5f, 2.f, 1.8f}},
    {{1.f, 8.f, 1.4f, 0.8f}, {-1.f, 6.f, 1.1f, -1.2f}}};

Mask crystalMask(const Painter& p, const Crystal& c, float cx, float base) {
    const Point root{cx + c.x, base - 3.f};
    return p.blank().triangle(root.x - c.halfWidth, root.y, root.x + c.halfWidth, root.y,
                              root.x + c.lean, base - c.height);
}

void drawRockShape(Painter& p, const RockShape& r, float cx, int frame, int frames) {
    const float base = baseRow(p) + 0.5f;
    Mask stone = p.blank();
    for (const Lump& lump : r.lumps) stone.ellipse(cx + lump.x, base + lump.y, lump.rx, lump.ry);
    stone.remove(p.blank().rect(0, static_cast<int>(base), p.width(), p.height()));
    p.shadedPart(stone, ink::light, ink::mid);
    p.detail(p.blank().disc(cx + r.lumps[0].x - 1.f, base + r.lumps[0].y - 1.f, 1.f), ink::white);
    // The smaller crystal stands behind the larger one.
    for (int i = 1; i >= 0; --i) {
        const Crystal& c = r.crystals[i];
        const Mask crystal = crystalMask(p, c, cx, base);
        p.part(crystal, ink::light, true);
        Mask facet = p.blank().rect(0, 0, static_cast<int>(cx + c.x + 0.5f), p.height());
        facet.keepOnly(crystal);
        p.detail(facet, ink::mid, true);
    }
    // A glint climbs the big crystal once per loop.
    const Crystal& big = r.crystals[0];
    const float step = std::max(1.f, std::floor((big.height - 5.f) / static_cast<float>(frames)));
    const float rise = 1.f + step * static_cast<float>(frame);
    const float t = rise / (big.height - 3.f);
    const Point glint{cx + big.x + big.lean * t, base - 3.f - rise};
    Mask spark = p.blank().rect(static_cast<int>(glint.x) - 1, static_cast<int>(glint.y), 2, 2);
    spark.keepOnly(crystalMask(p, big, cx, base));
    p.detail(spark, ink::white, true);
}

// -- pine tree -------------------------------------------------------------------------------

// Tiers from the bottom up, in px: how high the tier's lower edge is, its half width and
// height. Each tier shows the first colour on top and the second along its lower fringe.
struct Tier {
    float lift, halfWidth, height;
};

constexpr Tier kPineTiers[] = {
    {9.f, 11.f, 13.f}, {17.f, 9.f, 12.f}, {25.f, 7.f, 11.f}, {32.f, 5.f, 10.f}};
constexpr float kPineSway = 1.2f;   // px the top moves at the end of a sway
constexpr float kPineFringe = 3.f;  // px of second colour below each tier

void drawPine(Painter& p, int frame) {
    const float base = baseRow(p) + 0.5f;
    const float cx = 16.f;
    const float sway = kPineSway * swayOf(frame, 4);
    p.shadedPart(p.blank().rect(static_cast<int>(cx) - 2, static_cast<int>(base - 12.f), 4, 12),
                 ink::mid, ink::shadow);
    const float topLift = kPineTiers[3].lift + kPineTiers[3].height;
    for (const Tier& tier : kPineTiers) {
        const float shift = sway * tier.lift / topLift;
        const float x = cx + shift;
        const float bottom = base - tier.lift;
        const float tipShift = sway * (tier.lift + tier.height) / topLift;
        Mask whole = p.blank().triangle(x - tier.halfWidth, bottom, x + tier.halfWidth, bottom,
                                        cx + tipShift, bottom - tier.height);
        p.part(whole, ink::white, true);
        Mask top = p.blank().triangle(x - tier.halfWidth + 2.f, bottom - kPineFringe,
                                      x + tier.halfWidth - 2.f, bottom - kPineFringe, cx + tipShift,
                                      bottom - tier.height);
        top.keepOnly(whole);
        p.shadedPart(top, ink::white, ink::light);
    }
}

// -- altar -----------------------------------------------------------------------------------

struct FlameFrame {
    float height, lean, width;  // px
    float sparkX, sparkY;       // px from the bowl centre
};

constexpr sf::Uint8 kAltarGlowAlpha[] = {90, 150, 70, 125};  // per frame
constexpr float kAltarGlowRadius = 8.f;                      // px around the flame

constexpr FlameFrame kAltarFlames[] = {{9.f, 0.f, 3.2f, -3.f, -11.f},
                                       {11.f, 1.2f, 2.8f, 2.f, -14.f},
                                       {8.f, -0.8f, 3.4f, 4.f, -9.f},
                                       {10.f, 0.6f, 3.f, -2.f, -15.f}};

void drawAltarStone(Painter& p, float cx, float base) {
    p.shadedPart(p.blank().rect(static_cast<int>(cx) - 10, static_cast<int>(base) - 3, 20, 3),
                 ink::light, ink::mid);
    p.shadedPart(p.blank().rect(static_cast<int>(cx) - 8, static_cast<int>(base) - 6, 16, 3),
                 ink::white, ink::mid);
    p.shadedPart(p.blank().rect(static_cast<int>(cx) - 4, static_cast<int>(base) - 20, 8, 14),
                 ink::light, ink::mid);
    p.shadedPart(p.blank().capsule(cx - 6.5f, base - 21.f, cx + 6.5f, base - 21.f, 1.5f),
                 ink::white, ink::mid);
}

void drawAltarFire(Painter& p, const FlameFrame& f, float cx, float bowlY, int frame) {
    const Point tip{cx + f.lean, bowlY - f.height};
    Mask flame = p.blank().ellipse(cx, bowlY - 2.f, f.width + 1.f, 2.8f);
    flame.triangle(cx - f.width - 0.5f, bowlY - 2.f, cx + f.width + 0.5f, bowlY - 2.f, tip.x,
                   tip.y);
    flame.remove(p.blank().rect(0, static_cast<int>(bowlY) - 1, p.width(), p.height()));
    p.part(flame, ink::light, true);
    Mask core = p.blank().ellipse(cx, bowlY - 2.5f, f.width * 0.55f, 1.8f);
    core.triangle(cx - f.width * 0.5f, bowlY - 2.5f, cx + f.width * 0.5f, bowlY - 2.5f,
                  cx + f.lean * 0.6f, bowlY - f.height * 0.6f);
    core.keepOnly(flame);
    p.detail(core, ink::white, true);
    p.part(p.blank().disc(cx + f.sparkX, bowlY + f.sparkY, frame % 2 == 0 ? 0.9f : 0.6f),
           ink::white, true);
}

// A flickering glow around the flame, in both cells so it takes the flame's colour.
void drawAltarGlow(Cell& body, Cell& overlay, float cx, float bowlY, int frame) {
    const Point centre{cx, bowlY - 5.f};
    for (int y = 0; y < static_cast<int>(bowlY) - 1; ++y) {
        for (int x = 0; x < body.width(); ++x) {
            if (body.get(x, y).a != 0) continue;
            const float d = std::hypot(x + 0.5f - centre.x, (y + 0.5f - centre.y) * 0.8f);
            if (d > kAltarGlowRadius) continue;
            const float strength = 1.f - d / kAltarGlowRadius;
            const sf::Color glow(255, 255, 255,
                                 static_cast<sf::Uint8>(kAltarGlowAlpha[frame] * strength));
            body.set(x, y, glow);
            overlay.set(x, y, glow);
        }
    }
}

void drawAltarRune(Painter& p, float cx, float base, int frame) {
    // The rune on the column brightens and dims with the flame.
    const sf::Color glow = frame % 2 == 0 ? ink::white : ink::light;
    Mask rune = p.blank()
                    .rect(static_cast<int>(cx) - 1, static_cast<int>(base) - 17, 2, 7)
                    .rect(static_cast<int>(cx) - 2, static_cast<int>(base) - 15, 4, 1)
                    .rect(static_cast<int>(cx) - 2, static_cast<int>(base) - 12, 4, 1);
    p.detail(rune, glow, true);
}

// -- orb -------------------------------------------------------------------------------------

constexpr float kOrbRadius = 6.f;     // px
constexpr float kOrbGlowReach = 4.f;  // px the glow extends past the outline
constexpr float kOrbGlowPulse[] = {0.35f, 0.55f, 0.8f, 1.f, 0.8f, 0.55f};  // of full strength

// A soft glow fading outward from the orb, its strength pulsing over the loop.
void drawOrbGlow(Cell& body, Point centre, int frame) {
    for (int y = 0; y < static_cast<int>(centre.y + 1.f); ++y) {
        for (int x = 0; x < body.width(); ++x) {
            if (body.get(x, y).a != 0) continue;
            const float d = std::hypot(x + 0.5f - centre.x, y + 0.5f - centre.y) - kOrbRadius - 1.f;
            if (d <= 0.f || d > kOrbGlowReach) continue;
            const float strength = (1.f - d / kOrbGlowReach) * kOrbGlowPulse[frame];
            body.set(x, y, sf::Color(255, 255, 255, static_cast<sf::Uint8>(160.f * strength)));
        }
    }
}

void drawOrbBands(Painter& p, Point centre, int frame, const Mask& sphere) {
    // Two meridians a quarter turn apart sweep across the sphere as it turns.
    for (int band = 0; band < 2; ++band) {
        const float angle = kTau * (static_cast<float>(frame) / 6.f + band * 0.25f) * 0.5f;
        const float x = centre.x + kOrbRadius * 0.8f * std::cos(angle);
        Mask meridian = p.blank().ellipse(x, centre.y, 1.1f, kOrbRadius);
        meridian.keepOnly(sphere);
        p.detail(meridian, band == 0 ? ink::white : ink::light, true);
    }
    Mask equator = p.blank().rect(0, static_cast<int>(centre.y), p.width(), 1);
    equator.keepOnly(sphere);
    p.detail(equator, ink::light, true);
}

}  // namespace

void drawMushroom(Cell& body, Cell& overlay, int frame) {
    Painter p(body, overlay, Layering::OverlayBehind);
    drawMushroomShape(p, kBigMushroom, 16.f, frame, true);
    p.finish();
}

void drawSmallMushroom(Cell& body, Cell& overlay, int frame) {
    Painter p(body, overlay);
    drawMushroomShape(p, kSmallMushroom, 8.f, frame, false);
    p.finish();
}

void drawRock(Cell& body, Cell& overlay, int frame) {
    Painter p(body, overlay);
    drawRockShape(p, kRock, 15.f, frame, 4);
    p.finish();
}

void drawSmallRock(Cell& body, Cell& overlay, int frame) {
    Painter p(body, overlay);
    drawRockShape(p, kSmallRock, 7.5f, frame, 4);
    p.finish();
}

void drawPineTree(Cell& body, Cell& overlay, int frame) {
    Painter p(body, overlay, Layering::OverlayBehind);
    drawPine(p, frame);
    p.finish();
}

void drawAltar(Cell& body, Cell& overlay, int frame) {
    Painter p(body, overlay);
    const float cx = 16.f;
    const float base = baseRow(p);
    drawAltarStone(p, cx, base);
    drawAltarRune(p, cx, base, frame);
    drawAltarFire(p, kAltarFlames[frame], cx, base - 22.f, frame);
    p.finish();
    drawAltarGlow(body, overlay, cx, base - 22.f, frame);
}

void drawOrb(Cell& body, Cell& overlay, int frame) {
    Painter p(body, overlay);
    const Point centre{16.f, baseRow(p) - kOrbRadius};
    const Mask sphere = p.blank().disc(centre.x, centre.y, kOrbRadius);
    p.shadedPart(sphere, ink::light, ink::mid);
    drawOrbBands(p, centre, frame, sphere);
    p.detail(p.blank().disc(centre.x - 2.5f, centre.y - 2.5f, 1.3f), ink::white);
    p.finish();
    drawOrbGlow(body, centre, frame);
}

}  // namespace art
