// The random sequence: 15 bits a step, scaled by the float nearest to 1/32767.
#include "render/RandomUnit.h"

#include <cstdint>

namespace {

uint32_t randomState = 1; // never reseeded

} // namespace

double randomUnit()
{
    randomState = randomState * 214013u + 2531011u;
    const uint32_t r = (randomState >> 16) & 0x7FFF;
    constexpr float step = 1.0f / 32767.0f; // the float nearest to 1/32767
    return r * static_cast<double>(step);
}
