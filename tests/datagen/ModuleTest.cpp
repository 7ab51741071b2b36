// The generated module data/mordel.it as the demo's player sees it: clean load,
// orders 0 to 14 in sequence, its length, its accents and its levels.
#include "SongComposer.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>
#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

using datagen::SongComposer;

namespace {

const char* const modulePath = "data/mordel.it";

std::vector<uint8_t> readModule()
{
    std::ifstream file(modulePath, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

uint32_t read32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint16_t read16(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

void recordLog(const char* message, void* user)
{
    static_cast<std::vector<std::string>*>(user)->push_back(message);
}

// libopenmpt prefixes loader messages with their level.
bool aboveInfo(const std::string& message)
{
    return message.rfind("info:", 0) != 0 && message.rfind("debug:", 0) != 0;
}

class GeneratedModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        bytes = readModule();
        ASSERT_GT(bytes.size(), 0xC0u) << modulePath << " missing; run from the build folder";
        std::ostringstream log;
        module = std::make_unique<openmpt::module>(bytes, log);
    }

    std::vector<uint8_t> bytes;
    std::unique_ptr<openmpt::module> module;
};

} // namespace

TEST_F(GeneratedModule, LoadsWithoutAnyMessageAboveInfo)
{
    std::vector<std::string> log;
    int error = 0;
    openmpt_module* m = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), recordLog, &log, nullptr, nullptr, &error, nullptr, nullptr);
    ASSERT_NE(m, nullptr) << "error " << error;
    const char* text = openmpt_module_get_metadata(m, "warnings");
    const std::string warnings = text != nullptr ? text : "";
    openmpt_free_string(text);
    openmpt_module_destroy(m);
    for (const std::string& message : log)
        EXPECT_FALSE(aboveInfo(message)) << message;
    EXPECT_EQ(warnings, "");
}

TEST_F(GeneratedModule, PlaysFifteenOrdersOfThirtyTwoRowsStrictlyInSequence)
{
    ASSERT_EQ(module->get_num_orders(), SongComposer::orderCount);
    for (int order = 0; order < SongComposer::orderCount; ++order) {
        EXPECT_EQ(module->get_order_pattern(order), order);
        EXPECT_EQ(module->get_pattern_num_rows(order), 32);
    }
    // The stored list ends with the end marker, so playback stops after order 14.
    EXPECT_EQ(read16(bytes, 0x20), 16);
    EXPECT_EQ(bytes[0xC0 + 15], 255);
    EXPECT_NE(bytes[0x1E], 0) << "row highlight";
    EXPECT_EQ(read16(bytes, 0x2A), 0x0214) << "compatible-with version";
}

TEST_F(GeneratedModule, OrderFourteenStartsBetweenOneAndTwoMinutesIn)
{
    const double start = module->set_position_order_row(14, 0);
    EXPECT_GE(start, 60.0);
    EXPECT_LE(start, 120.0);
    EXPECT_GT(module->get_duration_seconds(), start) << "order 14 itself is played";
}

TEST_F(GeneratedModule, RenderingPassesOrdersZeroToFourteenInTurnWithoutClipping)
{
    constexpr int rate = 48000;
    constexpr size_t chunk = 480;
    std::vector<float> left(chunk);
    std::vector<float> right(chunk);
    std::vector<int> visited;
    float peak = 0;
    const double end = module->get_duration_seconds();
    while (true) {
        const int order = module->get_current_order();
        const int row = module->get_current_row();
        // Past the end libopenmpt renders a short tail whose position reads as order 0.
        const bool playing = module->get_position_seconds() < end;
        const size_t frames = module->read(rate, chunk, left.data(), right.data());
        if (frames == 0)
            break;
        if (playing) {
            ASSERT_GE(row, 0);
            ASSERT_LT(row, 32);
            if (visited.empty() || visited.back() != order)
                visited.push_back(order);
        }
        for (size_t i = 0; i < frames; ++i)
            peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    }
    std::vector<int> expected(SongComposer::orderCount);
    for (int i = 0; i < SongComposer::orderCount; ++i)
        expected[static_cast<size_t>(i)] = i;
    EXPECT_EQ(visited, expected);
    EXPECT_LT(peak, 1.0f) << "the mix clips";
    EXPECT_GT(peak, 0.25f) << "the mix is too quiet";
}

TEST_F(GeneratedModule, KickAndBassAccentsAreTheStrongestHitsOnRowsZeroEightSixteenTwentyFour)
{
    for (int pattern = 0; pattern < SongComposer::orderCount; ++pattern) {
        for (int channel : {SongComposer::kickChannel, SongComposer::bassChannel}) {
            SCOPED_TRACE("pattern " + std::to_string(pattern) + " channel " + std::to_string(channel));
            int accentMin = 255;
            int otherMax = 0;
            for (int row = 0; row < 32; ++row) {
                const int note = module->get_pattern_row_channel_command(
                    pattern, row, channel, openmpt::module::command_note);
                const bool struck = note >= 1 && note <= 120;
                const int volume = module->get_pattern_row_channel_command(
                    pattern, row, channel, openmpt::module::command_volume);
                if (row % 8 == 0) {
                    ASSERT_TRUE(struck) << "row " << row;
                    accentMin = std::min(accentMin, volume);
                } else if (struck) {
                    otherMax = std::max(otherMax, volume);
                }
            }
            if (pattern < SongComposer::orderCount - 1) {
                EXPECT_EQ(accentMin, 64);
            }
            EXPECT_GT(accentMin, otherMax);
        }
    }
}

TEST_F(GeneratedModule, SamplesAreSigned16BitAndCentredOnZero)
{
    const uint16_t orders = read16(bytes, 0x20);
    const uint16_t instruments = read16(bytes, 0x22);
    const uint16_t samples = read16(bytes, 0x24);
    ASSERT_EQ(samples, module->get_num_samples());
    ASSERT_GE(samples, 6);
    for (uint16_t i = 0; i < samples; ++i) {
        const uint32_t header = read32(bytes, 0xC0u + orders + 4u * instruments + 4u * i);
        SCOPED_TRACE(std::string(bytes.begin() + header + 0x14, bytes.begin() + header + 0x2E).c_str());
        ASSERT_EQ(std::string(bytes.begin() + header, bytes.begin() + header + 4), "IMPS");
        EXPECT_EQ(bytes[header + 0x12] & 0x0B, 0x03) << "present, 16-bit, uncompressed";
        EXPECT_EQ(bytes[header + 0x2E] & 0x01, 0x01) << "signed";
        EXPECT_NE(read32(bytes, header + 0x3C), 0u) << "C5 speed";
        const uint32_t length = read32(bytes, header + 0x30);
        const uint32_t data = read32(bytes, header + 0x48);
        ASSERT_LE(data + 2ull * length, bytes.size());
        // Read as signed, a real waveform swings round zero; read with the wrong
        // sign convention it would sit near +-32768.
        double sum = 0;
        int peak = 0;
        for (uint32_t f = 0; f < length; ++f) {
            const int v = static_cast<int16_t>(read16(bytes, data + 2 * f));
            sum += v;
            peak = std::max(peak, std::abs(v));
        }
        EXPECT_LT(std::fabs(sum / length), 0.05 * peak);
        EXPECT_GT(peak, 10000);
    }
}
