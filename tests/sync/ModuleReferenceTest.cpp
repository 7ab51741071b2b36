// The reference rendering of the demo's own module: where its rows start, and that it
// is the sound the demo plays, which renders in steps of 32 frames.
#include "ModuleReference.h"

#include <libopenmpt/libopenmpt.h>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using syncbench::ModuleReference;
using syncbench::RowStart;

constexpr int rate = 44100;
constexpr const char* modulePath = "data/mordel.it";

TEST(ModuleReference, RowsOfTheDemosModuleStartEvery6612FramesFromOrder0Row0)
{
    // speed 6 at tempo 100: 6 ticks of 2.5 / 100 s, and libopenmpt counts whole frames
    // to a tick: 1102 at 44100 Hz, 6612 to a row (a hair under 0.15 s)
    constexpr int64_t rowFrames = 6612;
    ModuleReference reference;
    std::string error;
    ASSERT_TRUE(reference.render(modulePath, rate, 5 * 32 * rowFrames + 100, error)) << error;
    const std::vector<RowStart>& rows = reference.rows();
    ASSERT_EQ(rows.size(), 5u * 32u + 1u);
    for (size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].order, static_cast<int>(i / 32)) << i;
        ASSERT_EQ(rows[i].row, static_cast<int>(i % 32)) << i;
        ASSERT_EQ(rows[i].frame, static_cast<int64_t>(i) * rowFrames) << i;
    }
    EXPECT_EQ(reference.mono().size(), static_cast<size_t>(5 * 32 * rowFrames + 100));
}

TEST(ModuleReference, SoundsAsLibopenmptRendersInTheDemosSteps)
{
    ModuleReference reference;
    std::string error;
    ASSERT_TRUE(reference.render(modulePath, rate, 2 * rate, error)) << error;

    std::ifstream file(modulePath, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    openmpt_module* module = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(module, nullptr);
    float stereo[2 * 32];
    double loudest = 0.0;
    for (size_t start = 0; start + 32 <= reference.mono().size(); start += 32) {
        ASSERT_EQ(openmpt_module_read_interleaved_float_stereo(module, rate, 32, stereo), 32u);
        for (size_t i = 0; i < 32; ++i) {
            const float mono = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
            ASSERT_NEAR(reference.mono()[start + i], mono, 1e-6f) << "frame " << start + i;
            loudest = std::max(loudest, static_cast<double>(std::fabs(mono)));
        }
    }
    openmpt_module_destroy(module);
    EXPECT_GT(loudest, 0.1) << "the comparison was made on sound, not silence";
}

} // namespace
