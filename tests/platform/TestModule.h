// Small Impulse Tracker modules built in memory, with a known row length.
#pragma once

#include <cstdint>
#include <vector>

namespace testing_support {

struct TestModuleLayout {
    int orders = 4;   // orders 0..orders-1, each with its own pattern
    int rows = 32;
    int speed = 6;    // ticks per row
    int tempo = 125;  // a tick lasts 2.5 / tempo seconds
    bool tone = true; // a looped square wave struck on row 0 of every pattern
};

std::vector<uint8_t> makeTestModule(const TestModuleLayout& layout);

inline double rowFrames(const TestModuleLayout& layout, int sampleRate)
{
    return layout.speed * 2.5 * sampleRate / layout.tempo;
}

} // namespace testing_support
