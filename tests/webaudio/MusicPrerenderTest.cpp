// The demo's own module rendered for the browser: the table must put every order the
// timeline cuts on where the audio plays it.
#include "MusicPrerender.h"

#include "platform/audio/openmpt/ModuleRenderer.h"
#include "platform/audio/openmpt/OfflineAudioBackend.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int rate = 44100;
constexpr const char* modulePath = "./data/mordel.it";

struct Rendered {
    platform::PositionTable table;
    std::vector<float> audio;
};

const Rendered& rendered()
{
    static const Rendered result = [] {
        Rendered r;
        std::string error;
        const auto table = prerenderMusic(
            modulePath, rate, 600.0,
            [&r](const float* samples, size_t frames) {
                r.audio.insert(r.audio.end(), samples, samples + 2 * frames);
                return true;
            },
            error);
        EXPECT_TRUE(table.has_value()) << error;
        if (table)
            r.table = *table;
        return r;
    }();
    return result;
}

} // namespace

TEST(MusicPrerender, EveryTimelineOrderStartsWhereTheModulePlaysIt)
{
    const Rendered& r = rendered();
    ASSERT_EQ(r.audio.size(), 2 * r.table.frameCount());

    // the capture tool's music clock, taking the same module frame by frame
    platform::OfflineAudioBackend reference;
    reference.openDevice(rate);
    const uint32_t handle = reference.loadModule(modulePath);
    ASSERT_NE(handle, 0u);
    reference.startOutput();
    reference.playFrom(handle, 0, true);
    std::vector<float> scratch;
    const auto orderHeardAt = [&](uint64_t frame) {
        scratch.resize(2 * (frame - reference.framesTaken()));
        reference.takeFrames(scratch.data(), frame - reference.framesTaken());
        reference.update();
        return platform::orderOf(reference.position(handle));
    };
    // the renderer places a row start within one of its steps
    constexpr uint64_t margin = platform::ModuleRenderer::stepFrames;
    for (int order = 1; order <= 14; ++order) {
        const auto frame = r.table.frameOf(order, 0);
        ASSERT_TRUE(frame.has_value()) << "order " << order;
        EXPECT_EQ(orderHeardAt(*frame - margin), order - 1);
        EXPECT_EQ(orderHeardAt(*frame + margin), order);
        const auto position = r.table.positionAt(*frame + 1);
        EXPECT_EQ(position.order, order);
        EXPECT_EQ(position.row, 0);
    }
    // rows only move forward through the orders, one row at a time within a pattern
    const auto& rows = r.table.rowStarts();
    for (size_t i = 1; i < rows.size(); ++i) {
        const bool nextRow = rows[i].order == rows[i - 1].order && rows[i].row == rows[i - 1].row + 1;
        const bool nextOrder = rows[i].order == rows[i - 1].order + 1 && rows[i].row == 0;
        EXPECT_TRUE(nextRow || nextOrder) << "row start " << i;
    }
}
