// Sound for the alignment tests: noise under a swelling envelope, never repeating, so
// a piece of it fits in one place only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace testsupport {

std::vector<float> syntheticSound(size_t frames, uint32_t seed);

// pieces of one signal, joined: {from, to} copies [from, to); {-1, n} is n frames of silence
struct Piece {
    int64_t from;
    int64_t to;
};
std::vector<float> joined(const std::vector<float>& source, const std::vector<Piece>& pieces);

} // namespace testsupport
