// The common divisor of the last few steps of a counter that moves in whole units of
// an unknown size: the unit, once two steps of different multiples have been seen.
// A window rather than all steps since the start, so that a changed unit, or a step
// that was not whole, is forgotten again.
#pragma once

#include <array>
#include <cstdint>
#include <numeric>

namespace platform {

class StepDivisor {
public:
    static constexpr int window = 8;

    void add(int64_t step)
    {
        steps[next] = step;
        next = (next + 1) % window;
        if (count < window)
            ++count;
    }

    // 0 while no step has been seen
    int64_t commonDivisor() const
    {
        int64_t divisor = 0;
        for (int i = 0; i < count; ++i)
            divisor = std::gcd(divisor, steps[i]);
        return divisor;
    }

private:
    std::array<int64_t, window> steps {};
    int next = 0;
    int count = 0;
};

} // namespace platform
