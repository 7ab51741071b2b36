// Fixed-point sine, square root and phase steps.
#include "FixedMath.h"

#include <cstddef>
#include <vector>

namespace datagen {

namespace {

// (pi/2)^(2k+1) / (2k+1)! in 2^30 units, k = 0..5: the Taylor series of
// sin(pi/2 * u) for u in [0, 1].
constexpr int64_t sineCoefficients[6] = { 1686629713, 693598668, 85569306, 5026995, 172272, 3864 };
constexpr int shiftQ30 = 30;
constexpr int64_t oneQ30 = int64_t { 1 } << shiftQ30;
constexpr int tableBits = 16;

int64_t mulQ30(int64_t a, int64_t b)
{
    return (a * b) >> shiftQ30;
}

// sin(pi/2 * u) for u in [0, 2^30], in 2^30 units.
int64_t quarterSine(int64_t u)
{
    const int64_t u2 = mulQ30(u, u);
    int64_t p = sineCoefficients[5];
    for (int k = 4; k >= 0; --k)
        p = sineCoefficients[k] - mulQ30(u2, p);
    return mulQ30(u, p);
}

const std::vector<int16_t>& sineTableEntries()
{
    static const std::vector<int16_t> table = [] {
        std::vector<int16_t> entries(size_t { 1 } << tableBits);
        for (size_t i = 0; i < entries.size(); ++i)
            entries[i] = static_cast<int16_t>(sineQ15(static_cast<uint32_t>(i << (32 - tableBits))));
        return entries;
    }();
    return table;
}

} // namespace

int32_t sineQ15(uint32_t phase)
{
    const uint32_t quadrant = phase >> 30;
    int64_t u = phase & (oneQ30 - 1);
    if (quadrant == 1 || quadrant == 3)
        u = oneQ30 - u;
    const int64_t s = quarterSine(u);
    // Round to nearest: 2^30 maps to 32767.
    const int64_t scaled = (s * 32767 + (oneQ30 >> 1)) >> shiftQ30;
    return static_cast<int32_t>(quadrant >= 2 ? -scaled : scaled);
}

int32_t tableSine(uint32_t phase)
{
    return sineTableEntries()[phase >> (32 - tableBits)];
}

uint32_t integerSqrt(uint64_t value)
{
    uint64_t result = 0;
    uint64_t bit = uint64_t { 1 } << 62;
    while (bit > value)
        bit >>= 2;
    while (bit != 0) {
        if (value >= result + bit) {
            value -= result + bit;
            result = (result >> 1) + bit;
        } else {
            result >>= 1;
        }
        bit >>= 2;
    }
    return static_cast<uint32_t>(result);
}

uint32_t phaseStep(uint64_t frequencyMilliHz, uint32_t sampleRate)
{
    return static_cast<uint32_t>((frequencyMilliHz << 32) / (uint64_t { sampleRate } * 1000));
}

} // namespace datagen
