// A minimal Impulse Tracker writer: header, order list, one sample, packed patterns.
#include "support/TestModule.h"

#include <cstring>

namespace testing_support {

namespace {

constexpr int toneFrames = 64; // one period of the square wave

void put(std::vector<uint8_t>& out, size_t at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out.at(at + i) = static_cast<uint8_t>(value >> (8 * i));
    }
}

} // namespace

std::vector<uint8_t> makeTestModule(const TestModuleLayout& layout)
{
    const int orderCount = layout.orders + 1; // with the end-of-song marker
    const size_t sampleOffsetAt = 192 + orderCount;
    const size_t patternOffsetsAt = sampleOffsetAt + 4;
    const size_t sampleAt = patternOffsetsAt + 4 * layout.orders;
    std::vector<uint8_t> out(sampleAt + 80, 0);

    std::memcpy(out.data(), "IMPM", 4);
    put(out, 32, orderCount, 2);
    put(out, 36, 1, 2); // samples (no instruments)
    put(out, 38, layout.orders, 2);
    put(out, 40, 0x02140214, 4);  // made with / compatible with version 2.14
    put(out, 44, 0x01 | 0x08, 2); // stereo, linear slides
    const uint8_t volumesAndTiming[]
        = { 128, 48, static_cast<uint8_t>(layout.speed), static_cast<uint8_t>(layout.tempo), 128 };
    std::memcpy(out.data() + 48, volumesAndTiming, sizeof volumesAndTiming);
    std::memset(out.data() + 64, 8, 64);   // channels panned left of centre: L != R
    std::memset(out.data() + 128, 64, 64); // at full volume
    for (int order = 0; order < layout.orders; ++order) {
        out[192 + order] = static_cast<uint8_t>(order == layout.skipAt ? 254
                : order == layout.endAt                                ? 255
                                                                       : order);
    }
    out[192 + layout.orders] = 255;
    put(out, sampleOffsetAt, static_cast<uint32_t>(sampleAt), 4);

    for (int pattern = 0; pattern < layout.orders; ++pattern) {
        put(out, patternOffsetsAt + 4 * pattern, static_cast<uint32_t>(out.size()), 4);
        std::vector<uint8_t> packed;
        if (layout.tone) {
            packed = { 0x81, 0x03, 60, 1 }; // channel 1: note C-5, sample 1
        }
        packed.resize(packed.size() + layout.rows, 0); // an end-of-row byte per row
        const size_t at = out.size();
        out.resize(at + 8 + packed.size(), 0);
        put(out, at, static_cast<uint32_t>(packed.size()), 2);
        put(out, at + 2, static_cast<uint32_t>(layout.rows), 2);
        std::memcpy(out.data() + at + 8, packed.data(), packed.size());
    }

    // signed 8-bit square wave, looped whole, played 1:1 at 44100 Hz
    std::memcpy(out.data() + sampleAt, "IMPS", 4);
    const uint8_t volumesAndFlags[] = { 64, 0x01 | 0x10, 64 }; // global volume, has data + looped, volume
    std::memcpy(out.data() + sampleAt + 17, volumesAndFlags, sizeof volumesAndFlags);
    out[sampleAt + 46] = 0x01; // signed
    put(out, sampleAt + 48, toneFrames, 4);
    put(out, sampleAt + 56, toneFrames, 4);
    put(out, sampleAt + 60, 44100, 4);
    put(out, sampleAt + 72, static_cast<uint32_t>(out.size()), 4);
    for (int i = 0; i < toneFrames; ++i) {
        out.push_back(static_cast<uint8_t>(i < toneFrames / 2 ? 64 : -64));
    }
    return out;
}

} // namespace testing_support
