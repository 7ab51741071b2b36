// Xorshift32 noise.
#include "NoiseSource.h"

namespace datagen {

NoiseSource::NoiseSource(uint32_t seed)
    : state(seed != 0 ? seed : 0x9E3779B9u) // xorshift never leaves zero
{
}

uint32_t NoiseSource::next()
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

int32_t NoiseSource::nextSample()
{
    return static_cast<int32_t>(next() >> 16) - 32768;
}

} // namespace datagen
