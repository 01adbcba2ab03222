#include "audio/effects.hpp"

#include <cmath>

namespace audio {
namespace {
Track blip(double frequency, double seconds) {
    Track track(static_cast<std::size_t>(seconds * kSampleRate), false);
    for (std::size_t i = 0; i < track.frames(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const float v =
            static_cast<float>(0.5 * std::sin(2 * M_PI * frequency * t) * std::exp(-t * 20));
        track.add(static_cast<std::int64_t>(i), v, v);
    }
    return track;
}
}  // namespace

std::vector<SoundEffect> renderSoundEffects() {
    return {{"jump", blip(600, 0.2)},
            {"walking_s", blip(120, 0.1)},
            {"menu_change", blip(880, 0.1)},
            {"menu_no", blip(220, 0.2)}};
}

}  // namespace audio
