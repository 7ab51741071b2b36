// The module writer, checked by loading and playing what it writes with libopenmpt.
#include "ItWriter.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include <cmath>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace datagen;

namespace {

ItSample rampSample(const std::string& name, size_t length, bool looped)
{
    ItSample s;
    s.name = name;
    s.fileName = name + ".raw";
    for (size_t i = 0; i < length; ++i)
        s.frames.push_back(static_cast<int16_t>(static_cast<int>(i * 997 % 60000) - 30000));
    s.looped = looped;
    s.loopStart = looped ? 100 : 0;
    s.loopEnd = looped ? static_cast<uint32_t>(length) : 0;
    s.c5Speed = 22050;
    return s;
}

// Two patterns of different lengths played in reverse order, cells with every
// combination of fields, and runs of cells with the same fields (whose mask the
// writer leaves out).
ItModule smallModule()
{
    ItModule m;
    m.title = "writer test";
    m.initialSpeed = 4;
    m.initialTempo = 140;
    m.channelCount = 3;
    m.channelPan = { 0, 64 };
    m.samples = { rampSample("first", 500, false), rampSample("second", 800, true) };
    ItPattern a(64, 3);
    a.at(0, 0) = { 60, 1, 64, 0, 0 };
    a.at(1, 0) = { 62, 2, 32, 0, 0 };
    a.at(2, 0) = { 64, 1, 16, 0, 0 };
    a.at(0, 2) = { ItCell::noNote, 0, ItCell::noVolume, 20, 0x90 }; // T90
    a.at(5, 1) = { ItCell::noteCut, 0, ItCell::noVolume, 0, 0 };
    a.at(6, 1) = { ItCell::noNote, 0, 160, 0, 0 }; // pan 32
    a.at(63, 2) = { 119, 2, 0, 3, 0 }; // C00: pattern break
    ItPattern b(32, 3);
    b.at(31, 1) = { 0, 1, ItCell::noVolume, 1, 3 }; // A03: speed 3
    m.patterns = { a, b };
    m.orders = { 1, 0 };
    return m;
}

std::unique_ptr<openmpt::module> load(const std::vector<uint8_t>& bytes, std::ostringstream& log)
{
    return std::make_unique<openmpt::module>(bytes, log);
}

std::string cellText(openmpt::module& m, int pattern, int row, int channel)
{
    return m.format_pattern_row_channel(pattern, row, channel, 0, true);
}

} // namespace

TEST(ItWriter, LibopenmptReadsBackSongSettingsOrdersSamplesAndEveryCell)
{
    std::ostringstream log;
    const auto m = load(ItWriter::encode(smallModule()), log);
    EXPECT_EQ(log.str(), "") << "no load messages";
    EXPECT_EQ(m->get_metadata("title"), "writer test");
    EXPECT_EQ(m->get_current_speed(), 4);
    EXPECT_EQ(m->get_current_tempo(), 140);
    EXPECT_EQ(m->get_num_channels(), 3);
    ASSERT_EQ(m->get_num_orders(), 2);
    EXPECT_EQ(m->get_order_pattern(0), 1);
    EXPECT_EQ(m->get_order_pattern(1), 0);
    EXPECT_EQ(m->get_pattern_num_rows(0), 64);
    EXPECT_EQ(m->get_pattern_num_rows(1), 32);
    EXPECT_EQ(m->get_sample_names(), (std::vector<std::string> { "first", "second" }));

    EXPECT_EQ(cellText(*m, 0, 0, 0), "C-5 01v40 ...");
    EXPECT_EQ(cellText(*m, 0, 1, 0), "D-5 02v20 ...");
    EXPECT_EQ(cellText(*m, 0, 2, 0), "E-5 01v10 ...");
    EXPECT_EQ(cellText(*m, 0, 0, 2), "... .. .. T90");
    EXPECT_EQ(cellText(*m, 0, 5, 1), "^^^ .. .. ...");
    EXPECT_EQ(cellText(*m, 0, 6, 1), "... ..p20 ...");
    EXPECT_EQ(cellText(*m, 0, 63, 2), "B-9 02v00 C00");
    EXPECT_EQ(cellText(*m, 1, 31, 1), "C-0 01 .. A03");
    EXPECT_EQ(cellText(*m, 0, 3, 0), "... .. .. ...");
}

TEST(ItWriter, SampleDataAndChannelPanningAreStoredAsGiven)
{
    const ItModule source = smallModule();
    const std::vector<uint8_t> bytes = ItWriter::encode(source);
    const auto read32 = [&](size_t at) {
        return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16)
            | (static_cast<uint32_t>(bytes[at + 3]) << 24);
    };
    EXPECT_EQ(bytes[0x40], 0);
    EXPECT_EQ(bytes[0x41], 64);
    EXPECT_EQ(bytes[0x42], 32) << "channels without a pan sit in the middle";
    EXPECT_GE(bytes[0x43], 128) << "unused channels are disabled";
    const size_t samplePointers = 0xC0 + 3;
    for (size_t i = 0; i < source.samples.size(); ++i) {
        const ItSample& s = source.samples[i];
        const uint32_t header = read32(samplePointers + 4 * i);
        ASSERT_EQ(std::string(bytes.begin() + header, bytes.begin() + header + 4), "IMPS");
        EXPECT_EQ((bytes[header + 0x12] & 0x10) != 0, s.looped);
        const uint32_t data = read32(header + 0x48);
        ASSERT_LE(data + 2 * s.frames.size(), bytes.size());
        for (size_t f = 0; f < s.frames.size(); f += 97)
            ASSERT_EQ(static_cast<int16_t>(bytes[data + 2 * f] | (bytes[data + 2 * f + 1] << 8)), s.frames[f])
                << f;
    }
}

TEST(ItWriter, InstrumentEnvelopesHoldUntilNoteOffThenFadeToSilence)
{
    // One note at row 0 and a note-off at row 4, played by an instrument with a
    // sustained envelope and by one without any.
    const auto play = [](bool enveloped) {
        ItModule m;
        m.initialSpeed = 6;
        m.initialTempo = 125; // 20 ms ticks, 0.12 s rows
        m.samples = { rampSample("tone", 4000, true) };
        ItInstrument i;
        i.name = enveloped ? "held" : "plain";
        if (enveloped) {
            i.envelope = { { 0, 64 }, { 2, 48 }, { 6, 0 } }; // holds at point 1, then 80 ms to silence
            i.sustainPoint = 1;
        }
        m.instruments = { i };
        ItPattern p(32, 1);
        p.at(0, 0) = { 60, 1, 64, 0, 0 };
        p.at(4, 0) = { ItCell::noteOff, 0, ItCell::noVolume, 0, 0 };
        m.patterns = { p };
        m.orders = { 0 };
        std::ostringstream log;
        const auto module = load(ItWriter::encode(m), log);
        EXPECT_EQ(log.str(), "");
        EXPECT_EQ(module->get_instrument_names(), std::vector<std::string> { i.name });
        std::vector<double> levels; // per row
        std::vector<float> left(5292);
        std::vector<float> right(5292);
        for (int row = 0; row < 10; ++row) {
            module->read(44100, left.size(), left.data(), right.data());
            double sum = 0;
            for (size_t f = 0; f < left.size(); ++f)
                sum += left[f] * left[f] + right[f] * right[f];
            levels.push_back(std::sqrt(sum / left.size()));
        }
        return levels;
    };
    const std::vector<double> held = play(true);
    EXPECT_GT(held[2], 0.01);
    EXPECT_NEAR(held[3], held[2], 0.2 * held[2]) << "sustained until the note-off";
    EXPECT_LT(held[6], 0.001) << "released after it";
    EXPECT_GT(play(false)[6], 0.01) << "without an envelope the loop plays on";
}

TEST(ItWriter, PackedRowsRepeatAChannelsMaskOnlyWhenItChanges)
{
    ItPattern p(32, 2);
    p.at(0, 1) = { 60, 1, ItCell::noVolume, 0, 0 };
    p.at(1, 1) = { 62, 1, ItCell::noVolume, 0, 0 };
    p.at(2, 1) = { ItCell::noNote, 0, 10, 0, 0 };
    const std::vector<uint8_t> packed = ItWriter::packPattern(p);
    const std::vector<uint8_t> expected = {
        0x82, 0x03, 60, 1, 0, // channel 2 with mask (note, sample), row end
        0x02, 62, 1, 0, // same mask: channel byte only
        0x82, 0x04, 10, 0, // new mask (volume)
    };
    ASSERT_GE(packed.size(), expected.size());
    EXPECT_EQ(
        std::vector<uint8_t>(packed.begin(), packed.begin() + static_cast<long>(expected.size())), expected);
    EXPECT_EQ(packed.size(), expected.size() + 29) << "29 empty rows, one end byte each";
}
