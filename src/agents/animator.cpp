#include "agents/animator.hpp"

#include <cstdlib>

Animation* Animator::currentAnimation() {
    if (current < 0 || current >= static_cast<int>(animations.size())) return nullptr;
    return &animations[static_cast<size_t>(current)];
}

void Animator::addAnimation(const sf::String& name) {
    if (!enabled) return;
    // `count` says how many animations are kept: an owner that sets it back to 0 to define
    // its animations again starts a fresh list, and the frames it appends next always land
    // in the animation just added.
    if (count < 0 || count > static_cast<int>(animations.size()))
        count = static_cast<int>(animations.size());
    animations.resize(static_cast<size_t>(count));
    // Built in place: a copy would copy its name too, one more allocation per animation.
    Animation& animation = animations.emplace_back();
    animation.frameWidth = frameWidth;
    animation.frameHeight = frameHeight;
    animation.name = name;
    current = count;
    count += 1;
}

void Animator::addFrame(int column, int row) {
    if (Animation* animation = currentAnimation()) animation->frames.emplace_back(column, row);
}

void Animator::configure(int cellWidth, int cellHeight, sf::Time duration) {
    clear();
    frameWidth = cellWidth;
    frameHeight = cellHeight;
    frameDuration = duration;
    loop = true;
    enabled = true;
}

void Animator::addStrip(const sf::String& name, int firstColumn, int row, int frames) {
    addAnimation(name);
    // Every dust puff builds a strip: its frames are made room for at once, not one by one.
    if (Animation* animation = currentAnimation(); animation != nullptr && frames > 0)
        animation->frames.reserve(animation->frames.size() + static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) addFrame(firstColumn + i, row);
}

void Animator::configure(const sheet::Strip& strip) {
    configure(strip.cellWidth, strip.cellHeight, sheet::frameTime);
}

void Animator::addStrip(const sf::String& name, const sheet::Strip& strip, sheet::Run run) {
    addStrip(name, strip.column() + run.first, strip.row(), run.count);
}

void Animator::start(sf::Sprite& sprite) {
    current = 0;
    if (animations.empty()) return;
    animations[0].frame = 0;
    showFrame(sprite);
}

void Animator::clear() {
    animations.clear();
    count = 0;
    current = 0;
}

bool Animator::selectAnimation(const sf::String& name) {
    if (const Animation* running = currentAnimation(); running != nullptr && running->name == name)
        return false;
    for (size_t i = 0; i < animations.size(); ++i) {
        if (animations[i].name == name) {
            current = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

void Animator::showFrame(sf::Sprite& sprite) const {
    if (current < 0 || current >= static_cast<int>(animations.size())) return;
    const Animation& animation = animations[static_cast<size_t>(current)];
    if (animation.frames.empty()) return;
    const sf::Vector2i cell = animation.frames[static_cast<size_t>(animation.frame)];
    sprite.setTextureRect({cell.x * animation.frameWidth, cell.y * animation.frameHeight,
                           animation.frameWidth, animation.frameHeight});
}

bool Animator::play(sf::Sprite& sprite, const sf::String& name, bool randomStart) {
    if (!selectAnimation(name)) return false;
    Animation* animation = currentAnimation();
    const int frames = static_cast<int>(animation->frames.size());
    if (frames > 0) animation->frame = randomStart ? rand() % frames : 0;
    showFrame(sprite);
    return true;
}

void Animator::update(sf::Sprite& sprite, sf::Time elapsedTime) {
    if (!enabled) return;
    elapsed += elapsedTime;
    if (elapsed <= frameDuration) return;
    elapsed = sf::Time::Zero;
    Animation* animation = currentAnimation();
    if (animation == nullptr || animation->frames.empty()) return;
    const int frames = static_cast<int>(animation->frames.size());
    animation->frame += 1;
    if (animation->frame >= frames) animation->frame = loop ? 0 : frames - 1;
    showFrame(sprite);
}
