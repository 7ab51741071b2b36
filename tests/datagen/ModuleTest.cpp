// The generated module data/mordel.it as the demo plays it: clean load, orders 0 to
// 14 in sequence and in time, and, rendered offline through the audio layer, its mix
// and a spectrum level that follows the kick.
#include "SongComposer.h"

#include "platform/audio/Spectrum.h"
#include "platform/audio/openmpt/ModuleRenderer.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

using datagen::SongComposer;

namespace {

void recordLog(const char* message, void* user)
{
    static_cast<std::vector<std::string>*>(user)->push_back(message);
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
        std::ifstream file("data/mordel.it", std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(file), {});
        ASSERT_GT(bytes.size(), 0xC0u) << "data/mordel.it missing; run from the build folder";
        int error = 0;
        m = openmpt_module_create_from_memory2(
            bytes.data(), bytes.size(), recordLog, &log, nullptr, nullptr, &error, nullptr, nullptr);
        ASSERT_NE(m, nullptr) << "error " << error;
    }
    void TearDown() override { openmpt_module_destroy(m); }

    int command(int pattern, int row, int channel, int which)
    {
        return openmpt_module_get_pattern_row_channel_command(m, pattern, row, channel, which);
    }

    std::vector<uint8_t> bytes;
    std::vector<std::string> log;
    openmpt_module* m = nullptr;
};

} // namespace

TEST_F(GeneratedModule, LoadsCleanlyAndPlaysFifteenOrdersOfThirtyTwoRowsReachingOrder14InOneToTwoMinutes)
{
    const char* warnings = openmpt_module_get_metadata(m, "warnings");
    EXPECT_STREQ(warnings, "");
    openmpt_free_string(warnings);
    for (const std::string& message : log)
        EXPECT_TRUE(message.rfind("info:", 0) == 0 || message.rfind("debug:", 0) == 0) << message;

    ASSERT_EQ(openmpt_module_get_num_orders(m), SongComposer::orderCount);
    for (int order = 0; order < SongComposer::orderCount; ++order) {
        EXPECT_EQ(openmpt_module_get_order_pattern(m, order), order);
        EXPECT_EQ(openmpt_module_get_pattern_num_rows(m, order), 32);
    }
    EXPECT_EQ(bytes[0x20] | (bytes[0x21] << 8), 16)
        << "the list ends with the end marker: nothing loops back";
    const double start = openmpt_module_set_position_order_row(m, 14, 0);
    EXPECT_GE(start, 60.0);
    EXPECT_LE(start, 120.0);
    EXPECT_GT(openmpt_module_get_duration_seconds(m), start + 2.0) << "order 14 itself is played";
}

TEST_F(GeneratedModule, EachSectionChangesItsPartsHarmonyOrRhythm)
{
    // What an order plays: its instruments, its bass notes and the rows of its snare.
    const auto fingerprint = [&](int pattern) {
        std::vector<std::set<int>> aspects(3);
        for (int row = 0; row < 32; ++row) {
            for (int channel = 0; channel < SongComposer::channelCount; ++channel)
                if (command(pattern, row, channel, OPENMPT_MODULE_COMMAND_INSTRUMENT) > 0)
                    aspects[0].insert(command(pattern, row, channel, OPENMPT_MODULE_COMMAND_INSTRUMENT));
            const int bass = command(pattern, row, SongComposer::bassChannel, OPENMPT_MODULE_COMMAND_NOTE);
            if (bass > 0)
                aspects[1].insert(bass % 12);
            if (command(pattern, row, SongComposer::snareChannel, OPENMPT_MODULE_COMMAND_NOTE) > 0)
                aspects[2].insert(row);
        }
        return aspects;
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
        if (visited.empty() || visited.back() != at.order)
            visited.push_back(at.order);
        renderer.monoSamples(renderer.renderedFrames(), window);
        spectrum.compute(window, magnitudes);
        if (at.order < SongComposer::orderCount - 1)
            (at.row % 8 == 0 ? accentLevels : otherLevels).push_back(magnitudes[0]);
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
