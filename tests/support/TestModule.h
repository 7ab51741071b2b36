// Small Impulse Tracker modules built in memory, with a known row length.
#pragma once

#include <cstdint>
#include <vector>

namespace testing_support {

struct TestModuleLayout {
    int orders = 4; // orders 0..orders-1, each with its own pattern
    int rows = 32;
    int speed = 6;    // ticks per row
    int tempo = 125;  // a tick lasts 2.5 / tempo seconds
    bool tone = true; // a looped square wave struck on row 0 of every pattern
    // order list entries that hold a marker instead of their pattern (-1: none): the
    // skip marker "+++" (254), passed over in playback, and the end-of-song marker (255)
    int skipAt = -1;
    int endAt = -1;
};

std::vector<uint8_t> makeTestModule(const TestModuleLayout& layout);

inline double rowFrames(const TestModuleLayout& layout, int sampleRate)
{
    return layout.speed * 2.5 * sampleRate / layout.tempo;
}

} // namespace testing_support
