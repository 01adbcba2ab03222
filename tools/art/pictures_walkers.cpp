#include <cmath>

#include "art/figure.hpp"
#include "art/pictures.hpp"
#include "core/sprite_sheet.hpp"

namespace art {
namespace {

constexpr float kTau = 6.2831853f;
constexpr int kIdleFrames = sheet::walkerIdle.count;
constexpr int kRunFrames = sheet::walkerRunning.count;
constexpr int kFirstRunFrame = sheet::walkerRunning.first;
constexpr int kFirstDriftFrame = sheet::walkerSpacing.first;
constexpr float kLimbRadius = 1.0f;   // px; limbs come out 2-3 px thick before the outline
constexpr float kFootLength = 1.5f;   // px the foot reaches forward of the ankle
constexpr float kRunStride = 4.0f;    // px the feet reach ahead of and behind the hip
constexpr float kRunLift = 3.0f;      // px a swinging foot is raised
constexpr float kRunLean = 1.5f;      // px the shoulders lead the hip
constexpr float kRunArmSwing = 2.5f;  // px

// Sizes of one figure, in px. The hip height is measured from the feet row.
struct Build {
    float hipHeight;
    float thigh;
    float shin;
    float torso;  // hip to shoulder
    float torsoRadius;
    float neck;
    float headRadius;
    float upperArm;
    float forearm;
    float stance;  // half the distance between the feet at rest
};

// clang-format off
//                           hip    thigh shin  torso  radius neck  head  upper  fore  stance
constexpr Build kPlayerBuild{ 7.0f, 3.8f, 3.8f,  4.5f, 3.0f,  0.0f, 4.8f, 3.0f,  3.0f, 1.5f};
constexpr Build kRoundBuild { 4.5f, 2.6f, 2.4f,  4.0f, 5.5f,  0.0f, 0.0f, 2.6f,  2.4f, 2.0f};
constexpr Build kTallBuild  {11.0f, 6.0f, 6.0f, 10.0f, 3.2f,  2.5f, 4.5f, 4.5f,  4.5f, 2.0f};
// clang-format on

enum class Motion { Idle, Run, Drift };

// Where the limbs of one frame are. Feet are in cell coordinates, hands relative to the
// shoulder; `flutter` (-1..1) swings loose things such as scarves and hat tips.
struct Pose {
    Motion motion;
    Point hip;
    float lean;
    float breath;
    Point nearFoot;
    Point farFoot;
    Point nearHand;
    Point farHand;
    float flutter;
};

struct Joints {
    Point hip;
    Point shoulder;
    Point head;
    Point nearKnee, nearAnkle;
    Point farKnee, farAnkle;
    Point nearElbow, nearHand;
    Point farElbow, farHand;
};

float feetCentre(const Painter& p) {
    // The foot's fill ends one row above the feet row, its outline lies on it.
    return static_cast<float>(p.height() - sheet::standingRow) - 1.5f;
}

Pose idlePose(const Build& b, const Painter& p, int frame) {
    static const float kBreath[kIdleFrames] = {0.f, 0.7f, 1.4f, 0.7f};  // px
    const float footY = feetCentre(p);
    const float breath = kBreath[frame];
    Pose pose{};
    pose.motion = Motion::Idle;
    pose.hip = {16.f, footY - b.hipHeight};
    pose.breath = breath;
    pose.nearFoot = {pose.hip.x + b.stance, footY};
    pose.farFoot = {pose.hip.x - b.stance, footY};
    const float reach = (b.upperArm + b.forearm) * 0.9f;
    pose.nearHand = {1.2f, reach - 0.6f * breath};
    pose.farHand = {-1.2f, reach - 0.6f * breath};
    pose.flutter = breath * 0.5f;
    return pose;
}

Pose runPose(const Build& b, const Painter& p, int frame) {
    const float phase = kTau * static_cast<float>(frame) / kRunFrames;
    const float footY = feetCentre(p);
    const float lift = std::sin(phase);
    const float spread = std::cos(phase);
    Pose pose{};
    pose.motion = Motion::Run;
    pose.hip = {16.f, footY - b.hipHeight + spread * spread};
    pose.lean = kRunLean;
    pose.nearFoot = {pose.hip.x - kRunStride * spread, footY - kRunLift * std::max(0.f, lift)};
    pose.farFoot = {pose.hip.x + kRunStride * spread, footY - kRunLift * std::max(0.f, -lift)};
    const float armDrop = (b.upperArm + b.forearm) * 0.6f;
    pose.nearHand = {0.8f + kRunArmSwing * spread, armDrop - std::max(0.f, spread)};
    pose.farHand = {0.8f - kRunArmSwing * spread, armDrop - std::max(0.f, -spread)};
    pose.flutter = std::sin(phase * 2.f);
    return pose;
}

Pose driftPose(const Build& b, const Painter& p, int frame) {
    const float phase = kTau * static_cast<float>(frame) / kRunFrames;
    Pose pose{};
    pose.motion = Motion::Drift;
    pose.hip = {16.f, feetCentre(p) - b.hipHeight - 0.5f + 0.5f * std::sin(phase)};
    pose.lean = -0.5f;
    const float legs = b.thigh + b.shin;
    // Spread out like a star and paddling slowly.
    pose.nearFoot = pose.hip + Point{3.5f + 0.8f * std::sin(phase), legs * 0.75f};
    pose.farFoot = pose.hip + Point{-3.5f - 0.8f * std::sin(phase + 2.f), legs * 0.7f};
    const float reach = b.upperArm + b.forearm;
    pose.nearHand = {reach * 0.9f, 0.5f + 1.5f * std::sin(phase)};
    pose.farHand = {-reach * 0.9f, 0.f + 1.5f * std::sin(phase + kTau / 3.f)};
    pose.flutter = std::sin(phase);
    return pose;
}

Pose walkerPose(const Build& b, const Painter& p, int frame) {
    if (frame < kFirstRunFrame) return idlePose(b, p, frame);
    if (frame < kFirstDriftFrame) return runPose(b, p, frame - kFirstRunFrame);
    return driftPose(b, p, frame - kFirstDriftFrame);
}

Joints jointsOf(const Build& b, const Pose& pose) {
    Joints j{};
    j.hip = pose.hip;
    j.shoulder = pose.hip + Point{pose.lean, -b.torso - pose.breath};
    j.head = j.shoulder + Point{0.4f + pose.lean * 0.5f, -b.neck - b.headRadius + 0.6f};
    j.nearAnkle = pose.nearFoot;
    j.farAnkle = pose.farFoot;
    j.nearKnee = bend(j.hip, j.nearAnkle, b.thigh, b.shin, true);
    j.farKnee = bend(j.hip, j.farAnkle, b.thigh, b.shin, true);
    const Point armRoot = j.shoulder + Point{0.f, 0.8f};
    j.nearHand = armRoot + pose.nearHand;
    j.farHand = armRoot + pose.farHand;
    j.nearElbow = bend(armRoot, j.nearHand, b.upperArm, b.forearm, false);
    j.farElbow = bend(armRoot, j.farHand, b.upperArm, b.forearm, false);
    return j;
}

Mask legMask(const Painter& p, Point hip, Point knee, Point ankle) {
    return p.blank()
        .capsule(hip.x, hip.y, knee.x, knee.y, kLimbRadius)
        .capsule(knee.x, knee.y, ankle.x, ankle.y, kLimbRadius);
}

Mask footMask(const Painter& p, Point ankle) {
    return p.blank().capsule(ankle.x, ankle.y, ankle.x + kFootLength, ankle.y, kLimbRadius);
}

Mask armMask(const Painter& p, Point shoulder, Point elbow, Point hand) {
    return p.blank()
        .capsule(shoulder.x, shoulder.y + 0.8f, elbow.x, elbow.y, kLimbRadius * 0.85f)
        .capsule(elbow.x, elbow.y, hand.x, hand.y, kLimbRadius * 0.85f);
}

void drawLeg(Painter& p, const Joints& j, bool nearSide, sf::Color colour, bool secondFeet) {
    const Point knee = nearSide ? j.nearKnee : j.farKnee;
    const Point ankle = nearSide ? j.nearAnkle : j.farAnkle;
    p.part(legMask(p, j.hip, knee, ankle), colour);
    p.part(footMask(p, ankle), colour, secondFeet);
}

// `sleeve`: the arm is in the second colour, the hand stays in the first.
void drawArm(Painter& p, const Joints& j, bool nearSide, sf::Color colour, bool sleeve = false) {
    const Point elbow = nearSide ? j.nearElbow : j.farElbow;
    const Point hand = nearSide ? j.nearHand : j.farHand;
    p.part(armMask(p, j.shoulder, elbow, hand), colour, sleeve);
    p.part(p.blank().disc(hand.x, hand.y, 1.1f), colour);
}

void drawTorso(Painter& p, const Build& b, const Joints& j, bool second) {
    p.shadedPart(
        p.blank().capsule(j.hip.x, j.hip.y - 0.5f, j.shoulder.x, j.shoulder.y + 1.f, b.torsoRadius),
        ink::white, ink::mid, second);
}

void drawHead(Painter& p, const Build& b, const Joints& j) {
    p.shadedPart(p.blank().disc(j.head.x, j.head.y, b.headRadius), ink::white, ink::mid);
}

void drawEye(Painter& p, Point at) {
    p.detail(p.blank().rect(static_cast<int>(at.x), static_cast<int>(at.y), 1, 2), ink::outline);
}

// -- look 1, the player: helmet with visor and antenna, scarf, backpack and boots ---------

Point scarfTip(const Pose& pose) {
    switch (pose.motion) {
        case Motion::Idle:
            return {-3.f, 5.f + pose.flutter};
        case Motion::Run:
            return {-8.f, 0.5f + pose.flutter};
        case Motion::Drift:
            return {-6.f, -3.f + 1.5f * pose.flutter};
    }
    return {};
}

void drawScarfTail(Painter& p, const Joints& j, const Pose& pose) {
    const Point root = j.shoulder + Point{-1.5f, 0.f};
    const Point tip = root + scarfTip(pose);
    const Point middle = (root + tip) * 0.5f + Point{0.f, 0.8f * pose.flutter};
    p.part(p.blank()
               .capsule(root.x, root.y, middle.x, middle.y, 1.2f)
               .capsule(middle.x, middle.y, tip.x, tip.y, 1.0f),
           ink::white, true);
}

void drawScarfBand(Painter& p, const Joints& j) {
    const Point at = j.shoulder + Point{0.2f, 0.6f};
    p.part(p.blank().capsule(at.x - 2.6f, at.y, at.x + 2.6f, at.y, 1.3f), ink::white, true);
}

void drawBackpack(Painter& p, const Joints& j) {
    const Point top = j.shoulder + Point{-3.6f, 1.6f};
    p.shadedPart(p.blank().capsule(top.x, top.y, top.x - 0.3f, top.y + 3.f, 2.2f), ink::white,
                 ink::mid, true);
}

void drawHelmet(Painter& p, const Build& b, const Joints& j, const Pose& pose) {
    const Point base = j.head + Point{-1.5f, -b.headRadius + 0.8f};
    const Point tip = base + Point{-1.5f - 0.8f * pose.flutter, -2.2f};
    p.part(p.blank().capsule(base.x, base.y, tip.x, tip.y, 0.6f), ink::light);
    p.part(p.blank().disc(tip.x, tip.y, 1.3f), ink::white, true);
    p.shadedPart(p.blank().disc(j.head.x, j.head.y, b.headRadius), ink::white, ink::mid);
    const int visorLeft = static_cast<int>(j.head.x + 0.5f);
    const int visorTop = static_cast<int>(j.head.y - 1.5f);
    Mask visor = p.blank().rect(visorLeft, visorTop, 5, 3);
    visor.set(visorLeft + 4, visorTop, false);
    visor.set(visorLeft + 4, visorTop + 2, false);
    p.detail(visor, ink::dark);
    p.detail(p.blank().rect(visorLeft + 1, visorTop, 2, 1), ink::light);
}

// -- look 2: a round little one in a pointed hat and boots ----------------------------------

Point beanTop(const Build& b, const Joints& j) {
    return j.shoulder + Point{0.f, -b.torsoRadius};
}

void drawBeanFace(Painter& p, const Build& b, const Joints& j) {
    const Point top = beanTop(b, j);
    drawEye(p, top + Point{2.5f, 5.f});
    drawEye(p, top + Point{5.f, 5.f});
}

// The round one's arms are stubs on its front and back that swing with the pose's hands.
void drawStubArm(Painter& p, const Build& b, const Joints& j, Point hand, float side,
                 sf::Color colour) {
    const Point root = j.shoulder + Point{side * (b.torsoRadius - 0.5f), 3.f};
    const Point tip = root + Point{side * 1.5f + 0.4f * hand.x, 1.f + 0.3f * (hand.y - 3.f)};
    p.part(p.blank().capsule(root.x, root.y, tip.x, tip.y, 1.2f), colour);
}

void drawPointedHat(Painter& p, const Build& b, const Joints& j, const Pose& pose) {
    const Point brim = beanTop(b, j) + Point{0.f, 2.f};
    const Point tip = brim + Point{-4.5f - 1.2f * pose.flutter, -8.f + std::fabs(pose.flutter)};
    Mask hat = p.blank().triangle(brim.x - 4.5f, brim.y, brim.x + 4.f, brim.y, tip.x, tip.y);
    hat.ellipse(brim.x, brim.y, 6.5f, 1.5f);
    p.shadedPart(hat, ink::white, ink::mid, true);
    p.part(p.blank().disc(tip.x - 0.5f, tip.y + 0.5f, 1.3f), ink::white);
}

// -- look 3: a tall one in a tailcoat and top hat -------------------------------------------

void drawCoatTails(Painter& p, const Joints& j, const Pose& pose) {
    const float sway = pose.motion == Motion::Run ? 2.5f : 0.8f;
    const Point top = j.hip + Point{-1.f, -2.f};
    p.part(p.blank().triangle(top.x - 2.5f, top.y, top.x + 1.5f, top.y, top.x - 3.f - sway,
                              top.y + 7.f + pose.flutter),
           ink::white, true);
}

void drawTopHat(Painter& p, const Build& b, const Joints& j, const Pose& pose) {
    const Point brim = j.head + Point{0.f, -b.headRadius + 1.5f};
    const int left = static_cast<int>(brim.x - 3.f + 0.4f * pose.flutter);
    Mask hat = p.blank().rect(left, static_cast<int>(brim.y - 7.f), 7, 7);
    hat.capsule(brim.x - 5.f, brim.y, brim.x + 5.f, brim.y, 0.9f);
    p.shadedPart(hat, ink::white, ink::mid, true);
    p.detail(p.blank().rect(left, static_cast<int>(brim.y - 2.f), 7, 1), ink::shadow, true);
}

}  // namespace

void drawPlayer(Cell& body, Cell& overlay, int frame) {
    Painter p(body, overlay);
    const Pose pose = walkerPose(kPlayerBuild, p, frame);
    const Joints j = jointsOf(kPlayerBuild, pose);
    drawArm(p, j, false, ink::mid);
    drawLeg(p, j, false, ink::mid, true);
    drawBackpack(p, j);
    drawScarfTail(p, j, pose);
    drawLeg(p, j, true, ink::white, true);
    drawTorso(p, kPlayerBuild, j, false);
    drawHelmet(p, kPlayerBuild, j, pose);
    drawScarfBand(p, j);
    drawArm(p, j, true, ink::white);
    p.finish();
}

void drawCharacter2(Cell& body, Cell& overlay, int frame) {
    Painter p(body, overlay);
    const Pose pose = walkerPose(kRoundBuild, p, frame);
    const Joints j = jointsOf(kRoundBuild, pose);
    drawStubArm(p, kRoundBuild, j, pose.farHand, -1.f, ink::mid);
    drawLeg(p, j, false, ink::mid, true);
    drawLeg(p, j, true, ink::white, true);
    drawTorso(p, kRoundBuild, j, false);
    drawBeanFace(p, kRoundBuild, j);
    drawPointedHat(p, kRoundBuild, j, pose);
    drawStubArm(p, kRoundBuild, j, pose.nearHand, 1.f, ink::white);
    p.finish();
}

void drawCharacter3(Cell& body, Cell& overlay, int frame) {
    Painter p(body, overlay);
    const Pose pose = walkerPose(kTallBuild, p, frame);
    const Joints j = jointsOf(kTallBuild, pose);
    drawArm(p, j, false, ink::mid, true);
    drawLeg(p, j, false, ink::mid, false);
    drawCoatTails(p, j, pose);
    drawLeg(p, j, true, ink::white, false);
    p.part(p.blank().capsule(j.shoulder.x, j.shoulder.y, j.head.x, j.head.y, 1.2f), ink::light);
    drawTorso(p, kTallBuild, j, true);
    drawHead(p, kTallBuild, j);
    drawEye(p, j.head + Point{2.0f, -1.0f});
    drawTopHat(p, kTallBuild, j, pose);
    drawArm(p, j, true, ink::white, true);
    p.finish();
}

}  // namespace art
