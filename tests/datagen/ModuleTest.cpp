// The generated module data/mordel.it as the demo plays it: clean load, orders 0 to
// 14 in sequence and in time, accents where the scenes flash, sections that differ,
// and, rendered offline through the audio layer, its mix and its spectrum level.
#include "SongComposer.h"

#include "platform/ModuleRenderer.h"
#include "platform/Spectrum.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>
#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using datagen::SongComposer;

namespace {

std::vector<uint8_t> readModule()
{
    std::ifstream file("data/mordel.it", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

void recordLog(const char* message, void* user)
{
    static_cast<std::vector<std::string>*>(user)->push_back(message);
}

bool isAccentRow(int row)
{
    return row % 8 == 0;
}

float median(std::vector<float> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0f : values[values.size() / 2];
}

class GeneratedModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        bytes = readModule();
        ASSERT_GT(bytes.size(), 0xC0u) << "data/mordel.it missing; run from the build folder";
        std::ostringstream log;
        module = std::make_unique<openmpt::module>(bytes, log);
    }

    int note(int pattern, int row, int channel)
    {
        return module->get_pattern_row_channel_command(pattern, row, channel, openmpt::module::command_note);
    }
    int volume(int pattern, int row, int channel)
    {
        return module->get_pattern_row_channel_command(
            pattern, row, channel, openmpt::module::command_volume);
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
    const char* warnings = openmpt_module_get_metadata(m, "warnings");
    EXPECT_STREQ(warnings, "");
    openmpt_free_string(warnings);
    openmpt_module_destroy(m);
    for (const std::string& message : log)
        EXPECT_TRUE(message.rfind("info:", 0) == 0 || message.rfind("debug:", 0) == 0) << message;
}

TEST_F(GeneratedModule, PlaysFifteenOrdersOfThirtyTwoRowsInSequenceReachingOrderFourteenInOneToTwoMinutes)
{
    ASSERT_EQ(module->get_num_orders(), SongComposer::orderCount);
    for (int order = 0; order < SongComposer::orderCount; ++order) {
        EXPECT_EQ(module->get_order_pattern(order), order);
        EXPECT_EQ(module->get_pattern_num_rows(order), 32);
    }
    EXPECT_EQ(bytes[0x20] | (bytes[0x21] << 8), 16)
        << "the list ends with the end marker: nothing loops back";
    const double start = module->set_position_order_row(14, 0);
    EXPECT_GE(start, 60.0);
    EXPECT_LE(start, 120.0);
    EXPECT_GT(module->get_duration_seconds(), start + 2.0) << "order 14 itself is played";
}

TEST_F(GeneratedModule, KickAndBassAccentsAreTheStrongestHitsOnRowsZeroEightSixteenTwentyFour)
{
    for (int pattern = 0; pattern < SongComposer::orderCount; ++pattern) {
        for (int channel : { SongComposer::kickChannel, SongComposer::bassChannel }) {
            SCOPED_TRACE("pattern " + std::to_string(pattern) + " channel " + std::to_string(channel));
            int accentMin = 255;
            int otherMax = 0;
            for (int row = 0; row < 32; ++row) {
                const int n = note(pattern, row, channel);
                const bool struck = n >= 1 && n <= 120;
                if (isAccentRow(row)) {
                    ASSERT_TRUE(struck) << "row " << row;
                    accentMin = std::min(accentMin, volume(pattern, row, channel));
                } else if (struck) {
                    otherMax = std::max(otherMax, volume(pattern, row, channel));
                }
            }
            EXPECT_GT(accentMin, otherMax);
        }
    }
}

TEST_F(GeneratedModule, EachSectionChangesItsPartsHarmonyOrRhythm)
{
    // What an order plays: its instruments, its bass notes and the rows of its snare.
    const auto fingerprint = [&](int pattern) {
        std::set<int> parts;
        std::set<int> bass;
        std::set<int> snare;
        for (int row = 0; row < 32; ++row) {
            for (int channel = 0; channel < SongComposer::channelCount; ++channel) {
                const int instrument = module->get_pattern_row_channel_command(
                    pattern, row, channel, openmpt::module::command_instrument);
                if (instrument > 0)
                    parts.insert(instrument);
            }
            if (note(pattern, row, SongComposer::bassChannel) > 0)
                bass.insert(note(pattern, row, SongComposer::bassChannel) % 12);
            if (note(pattern, row, SongComposer::snareChannel) > 0)
                snare.insert(row);
        }
        return std::vector<std::set<int>> { parts, bass, snare };
    };
    for (int firstOfSection : { 5, 7, 9, 11, 13, 14 }) {
        const std::vector<std::set<int>> before = fingerprint(firstOfSection - 1);
        const std::vector<std::set<int>> after = fingerprint(firstOfSection);
        int changes = 0;
        for (size_t aspect = 0; aspect < before.size(); ++aspect)
            changes += before[aspect] != after[aspect] ? 1 : 0;
        EXPECT_GE(changes, 2) << "order " << firstOfSection;
    }
}

TEST_F(GeneratedModule, RenderedThroughTheAudioLayerItStaysCleanAndItsLevelFollowsTheKick)
{
    // 44100 Hz, libopenmpt's defaults, read in steps of one 60 Hz frame; after each
    // step the level is bin 0 of the spectrum of the last 1024 samples, at the row
    // just played, as the music player reports them.
    constexpr int rate = 44100;
    constexpr size_t frameStep = rate / 60;
    platform::ModuleRenderer renderer(rate);
    ASSERT_TRUE(renderer.loadMemory(bytes.data(), bytes.size()));
    platform::Spectrum spectrum;
    std::vector<float> buffer(2 * frameStep);
    float window[platform::ModuleRenderer::monoWindowFrames];
    float magnitudes[platform::Spectrum::bins];
    std::vector<int> visited;
    std::vector<float> accentLevels;
    std::vector<float> otherLevels;
    double peak = 0;
    double energy = 0;
    size_t samples = 0;
    while (!renderer.ended()) {
        renderer.render(buffer.data(), frameStep);
        for (float v : buffer) {
            peak = std::max(peak, static_cast<double>(std::fabs(v)));
            energy += static_cast<double>(v) * v;
        }
        samples += buffer.size();
        const platform::ModulePosition at = renderer.positionAt(renderer.renderedFrames() - 1);
        ASSERT_LT(at.row, 32);
        if (visited.empty() || visited.back() != at.order)
            visited.push_back(at.order);
        renderer.monoSamples(renderer.renderedFrames(), window);
        spectrum.compute(window, magnitudes);
        if (at.order < SongComposer::orderCount - 1)
            (isAccentRow(at.row) ? accentLevels : otherLevels).push_back(magnitudes[0]);
    }
    std::vector<int> expected;
    for (int order = 0; order < SongComposer::orderCount; ++order)
        expected.push_back(order);
    EXPECT_EQ(visited, expected);

    EXPECT_LT(peak, 0.97) << "the mix clips";
    const double rms = 20 * std::log10(std::sqrt(energy / static_cast<double>(samples)));
    EXPECT_GE(rms, -20.0);
    EXPECT_LE(rms, -12.0);

    const float onAccents = median(accentLevels);
    const float elsewhere = median(otherLevels);
    EXPECT_GE(onAccents, 0.05f) << "the scenes scale the level by 5, 16 and 20";
    EXPECT_GE(onAccents, 3 * elsewhere) << "accents " << onAccents << ", other rows " << elsewhere;
}
