#include "audio/waltz.hpp"

#include <cmath>

namespace audio {
namespace {
constexpr double kBeat = 0.45;  // s
constexpr int kBars = 8;
}  // namespace

Track renderWaltz() {
    Track track(static_cast<std::size_t>(kBars * 3 * kBeat * kSampleRate), true);
    const double roots[] = {174.61, 174.61, 146.83, 116.54, 130.81, 174.61, 130.81, 130.81};
    for (int bar = 0; bar < kBars; ++bar) {
        for (int beat = 0; beat < 3; ++beat) {
            const double f = beat == 0 ? roots[bar] * 0.5 : roots[bar] * 1.5;
            const auto start = static_cast<std::int64_t>((bar * 3 + beat) * kBeat * kSampleRate);
            for (int i = 0; i < static_cast<int>(kBeat * kSampleRate); ++i) {
                const double t = static_cast<double>(i) / kSampleRate;
                const float v = static_cast<float>(std::sin(2 * M_PI * f * t) * std::exp(-t * 6));
                track.add(start + i, v, v);
            }
        }
    }
    track.normalise(0.8f);
    return track;
}

}  // namespace audio
