// Integer-only maths for the generator, so its output is the same bit for bit on
// every compiler, optimisation level and C library.
#pragma once

#include <cstdint>

namespace datagen {

// One full turn of phase is 2^32.
constexpr uint64_t fullTurn = uint64_t { 1 } << 32;

// sin(2 pi phase / 2^32) scaled to -32767..32767, from a degree-11 polynomial in
// 30-bit fixed point (error below one unit).
int32_t sineQ15(uint32_t phase);

// The same sine from a table of 65536 entries indexed by the top 16 bits of the
// phase; exact for phases that are multiples of 2^16.
int32_t tableSine(uint32_t phase);

// Largest r with r * r <= value.
uint32_t integerSqrt(uint64_t value);

// Phase step per sample of a tone of frequencyMilliHz at sampleRate.
uint32_t phaseStep(uint64_t frequencyMilliHz, uint32_t sampleRate);

} // namespace datagen
