// Deterministic noise: a linear congruential generator under a sine envelope.
#include "SyntheticSound.h"

#include <cmath>

namespace testsupport {

namespace {

constexpr double pi = 3.14159265358979323846;

} // namespace

std::vector<float> syntheticSound(size_t frames, uint32_t seed)
{
    std::vector<float> sound(frames);
    uint32_t state = seed;
    for (size_t i = 0; i < frames; ++i) {
        state = state * 1664525u + 1013904223u;
        const float noise = static_cast<float>(state >> 8) / 8388608.0f - 1.0f; // [-1, 1)
        // swells every 0.3 s at 44100 Hz
        const double envelope = 0.6 + 0.4 * std::sin(static_cast<double>(i) * 2.0 * pi / 13230.0);
        sound[i] = static_cast<float>(0.5 * envelope) * noise;
    }
    return sound;
}

std::vector<float> joined(const std::vector<float>& source, const std::vector<Piece>& pieces)
{
    std::vector<float> out;
    for (const Piece& piece : pieces) {
        if (piece.from < 0) {
            out.insert(out.end(), static_cast<size_t>(piece.to), 0.0f);
        } else {
            out.insert(out.end(), source.begin() + piece.from, source.begin() + piece.to);
        }
    }
    return out;
}

} // namespace testsupport
