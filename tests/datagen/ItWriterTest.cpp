// The module writer, checked by loading and playing what it writes with libopenmpt.
#include "ItWriter.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

using namespace datagen;

namespace {

ItSample rampSample(const std::string& name, size_t length)
{
    ItSample s;
    s.name = name;
    for (size_t i = 0; i < length; ++i)
        s.frames.push_back(static_cast<int16_t>(static_cast<int>(i * 997 % 60000) - 30000));
    s.looped = true;
    s.loopStart = 100;
    s.loopEnd = static_cast<uint32_t>(length);
    s.c5Speed = 22050;
    return s;
}

} // namespace

TEST(ItWriter, LibopenmptReadsBackSongSettingsOrdersSamplesAndEveryCell)
{
    // Two patterns of different lengths played in reverse order, cells with every
    // combination of fields, and runs of cells whose mask the writer leaves out.
    using Cell = std::tuple<int, int, int>; // pattern, row, channel
    const std::map<Cell, std::pair<ItCell, std::string>> cells = {
        { { 0, 0, 0 }, { { 60, 1, 64, 0, 0 }, "C-5 01v40 ..." } },
        { { 0, 1, 0 }, { { 62, 2, 32, 0, 0 }, "D-5 02v20 ..." } },
        { { 0, 2, 0 }, { { 64, 1, 16, 0, 0 }, "E-5 01v10 ..." } },
        { { 0, 3, 1 }, { { 65, 1, 8, 0, 0 }, "F-5 01v08 ..." } }, // a mask another channel had last
        { { 0, 0, 2 }, { { ItCell::noNote, 0, ItCell::noVolume, 20, 0x90 }, "... .. .. T90" } },
        { { 0, 5, 1 }, { { ItCell::noteCut, 0, ItCell::noVolume, 0, 0 }, "^^^ .. .. ..." } },
        { { 0, 6, 1 }, { { ItCell::noNote, 0, 160, 0, 0 }, "... ..p20 ..." } },
        { { 0, 63, 2 }, { { 119, 2, 0, 3, 0 }, "B-9 02v00 C00" } },
        { { 1, 31, 1 }, { { 0, 1, ItCell::noVolume, 1, 3 }, "C-0 01 .. A03" } },
    };
    ItModule source;
    source.title = "writer test";
    source.initialSpeed = 4;
    source.initialTempo = 140;
    source.channelCount = 3;
    source.samples = { rampSample("first", 500), rampSample("second", 800) };
    source.patterns = { ItPattern(64, 3), ItPattern(32, 3) };
    source.orders = { 1, 0 };
    for (const auto& [at, cell] : cells)
        source.patterns[std::get<0>(at)].at(std::get<1>(at), std::get<2>(at)) = cell.first;

    std::ostringstream log;
    openmpt::module m(ItWriter::encode(source), log);
    EXPECT_EQ(log.str(), "") << "no load messages";
    EXPECT_EQ(m.get_metadata("title"), "writer test");
    EXPECT_EQ(m.get_current_speed(), 4);
    EXPECT_EQ(m.get_current_tempo(), 140);
    EXPECT_EQ(m.get_num_channels(), 3);
    EXPECT_EQ(m.get_sample_names(), (std::vector<std::string> { "first", "second" }));
    ASSERT_EQ(m.get_num_orders(), 2);
    EXPECT_EQ(m.get_order_pattern(0), 1);
    EXPECT_EQ(m.get_order_pattern(1), 0);
    ASSERT_EQ(m.get_num_patterns(), 2);
    for (int pattern = 0; pattern < 2; ++pattern) {
        ASSERT_EQ(m.get_pattern_num_rows(pattern), source.patterns[pattern].rows);
        for (int row = 0; row < source.patterns[pattern].rows; ++row)
            for (int channel = 0; channel < 3; ++channel) {
                const auto written = cells.find({ pattern, row, channel });
                EXPECT_EQ(m.format_pattern_row_channel(pattern, row, channel, 0, true),
                    written == cells.end() ? "... .. .. ..." : written->second.second)
                    << "pattern " << pattern << " row " << row << " channel " << channel;
            }
    }
}

TEST(ItWriter, InstrumentEnvelopesHoldUntilNoteOffThenFadeToSilence)
{
    // One note at row 0 and a note-off at row 4, played by an instrument with a
    // sustained envelope and by one without any; RMS level per 0.12 s row.
    const auto rowLevels = [](bool enveloped) {
        ItModule m;
        m.initialTempo = 125; // speed 6: 20 ms ticks, 0.12 s rows
        m.samples = { rampSample("tone", 4000) };
        ItInstrument i;
        if (enveloped) {
            i.envelope = { { 0, 64 }, { 2, 48 }, { 6, 0 } }; // holds at point 1, then 80 ms to silence
            i.sustainPoint = 1;
        }
        m.instruments = { i };
        m.patterns = { ItPattern(32, 1) };
        m.patterns[0].at(0, 0) = { 60, 1, 64, 0, 0 };
        m.patterns[0].at(4, 0) = { ItCell::noteOff, 0, ItCell::noVolume, 0, 0 };
        m.orders = { 0 };
        std::ostringstream log;
        openmpt::module module(ItWriter::encode(m), log);
        EXPECT_EQ(log.str(), "");
        std::vector<double> levels;
        std::vector<float> left(5292);
        std::vector<float> right(5292);
        for (int row = 0; row < 10; ++row) {
            module.read(44100, left.size(), left.data(), right.data());
            double sum = 0;
            for (size_t f = 0; f < left.size(); ++f)
                sum += left[f] * left[f] + right[f] * right[f];
            levels.push_back(std::sqrt(sum / left.size()));
        }
        return levels;
    };
    const std::vector<double> held = rowLevels(true);
    EXPECT_GT(held[2], 0.01);
    EXPECT_NEAR(held[3], held[2], 0.2 * held[2]) << "sustained until the note-off";
    EXPECT_LT(held[6], 0.001) << "released after it";
    EXPECT_GT(rowLevels(false)[6], 0.01) << "without an envelope the loop plays on";
}
