// A seeded white-noise generator (xorshift32): the same sequence everywhere.
#pragma once

#include <cstdint>

namespace datagen {

class NoiseSource {
public:
    explicit NoiseSource(uint32_t seed);

    // Next 32 random bits.
    uint32_t next();
    // Next value, uniform in -32768..32767.
    int32_t nextSample();

private:
    uint32_t state;
};

} // namespace datagen
