// The module writer, checked by loading what it writes with libopenmpt and by its raw layout.
#include "ItWriter.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace datagen;

namespace {

uint32_t read32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint16_t read16(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

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
    m.mixVolume = 50;
    m.channelCount = 3;
    m.samples = {rampSample("first", 500, false), rampSample("second", 800, true)};
    ItPattern a(64, 3);
    a.at(0, 0) = {60, 1, 64, 0, 0};
    a.at(1, 0) = {62, 2, 32, 0, 0};
    a.at(2, 0) = {64, 1, 16, 0, 0};
    a.at(0, 2) = {ItCell::noNote, 0, ItCell::noVolume, 20, 0x90}; // T90
    a.at(5, 1) = {ItCell::noteCut, 0, ItCell::noVolume, 0, 0};
    a.at(6, 1) = {ItCell::noNote, 0, 40, 0, 0};
    a.at(63, 2) = {119, 2, 0, 3, 0}; // C00: pattern break
    ItPattern b(32, 3);
    b.at(31, 1) = {0, 1, ItCell::noVolume, 1, 3}; // A03: speed 3
    m.patterns = {a, b};
    m.orders = {1, 0};
    return m;
}

struct LoadedModule {
    std::ostringstream log;
    std::unique_ptr<openmpt::module> module;
};

std::unique_ptr<LoadedModule> load(const std::vector<uint8_t>& bytes)
{
    auto loaded = std::make_unique<LoadedModule>();
    loaded->module = std::make_unique<openmpt::module>(bytes, loaded->log);
    return loaded;
}

std::string cellText(openmpt::module& m, int pattern, int row, int channel)
{
    return m.format_pattern_row_channel(pattern, row, channel, 0, true);
}

} // namespace

TEST(ItWriter, LibopenmptReadsBackSongSettingsOrdersAndSamples)
{
    const ItModule source = smallModule();
    const auto loaded = load(ItWriter::encode(source));
    EXPECT_EQ(loaded->log.str(), "") << "no load messages";
    openmpt::module& m = *loaded->module;
    EXPECT_EQ(m.get_metadata("title"), "writer test");
    EXPECT_EQ(m.get_metadata("warnings"), "");
    EXPECT_EQ(m.get_current_speed(), 4);
    EXPECT_EQ(m.get_current_tempo(), 140);
    EXPECT_EQ(m.get_num_channels(), 3);
    ASSERT_EQ(m.get_num_orders(), 2);
    EXPECT_EQ(m.get_order_pattern(0), 1);
    EXPECT_EQ(m.get_order_pattern(1), 0);
    EXPECT_EQ(m.get_pattern_num_rows(0), 64);
    EXPECT_EQ(m.get_pattern_num_rows(1), 32);
    const std::vector<std::string> names = m.get_sample_names();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "first");
    EXPECT_EQ(names[1], "second");
}

TEST(ItWriter, LibopenmptReadsBackEveryPatternCell)
{
    const auto loaded = load(ItWriter::encode(smallModule()));
    openmpt::module& m = *loaded->module;
    EXPECT_EQ(cellText(m, 0, 0, 0), "C-5 01v40 ...");
    EXPECT_EQ(cellText(m, 0, 1, 0), "D-5 02v20 ...");
    EXPECT_EQ(cellText(m, 0, 2, 0), "E-5 01v10 ...");
    EXPECT_EQ(cellText(m, 0, 0, 2), "... .. .. T90");
    EXPECT_EQ(cellText(m, 0, 5, 1), "^^^ .. .. ...");
    EXPECT_EQ(cellText(m, 0, 6, 1), "... ..v28 ...");
    EXPECT_EQ(cellText(m, 0, 63, 2), "B-9 02v00 C00");
    EXPECT_EQ(cellText(m, 1, 31, 1), "C-0 01 .. A03");
    EXPECT_EQ(cellText(m, 0, 3, 0), "... .. .. ...");
    EXPECT_EQ(cellText(m, 1, 0, 0), "... .. .. ...");
}

TEST(ItWriter, HeadersUseAbsolutePointersAndSigned16BitSampleData)
{
    const ItModule source = smallModule();
    const std::vector<uint8_t> bytes = ItWriter::encode(source);
    ASSERT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "IMPM");
    EXPECT_EQ(read16(bytes, 0x2A), 0x0214) << "compatible-with version";
    EXPECT_NE(bytes[0x1E], 0) << "row highlight";
    EXPECT_NE(bytes[0x1F], 0) << "row highlight";
    EXPECT_EQ(read16(bytes, 0x20), 3) << "two orders and the end marker";
    EXPECT_EQ(bytes[0xC0 + 2], 255);
    for (int ch = 0; ch < 3; ++ch) {
        EXPECT_EQ(bytes[0x40 + ch], 32) << "pan of a used channel";
        EXPECT_EQ(bytes[0x80 + ch], 64) << "volume of a used channel";
    }
    EXPECT_GE(bytes[0x40 + 3], 128) << "unused channels are disabled";

    const size_t samplePointers = 0xC0 + 3;
    for (size_t i = 0; i < source.samples.size(); ++i) {
        const ItSample& s = source.samples[i];
        const uint32_t header = read32(bytes, samplePointers + 4 * i);
        ASSERT_EQ(std::string(bytes.begin() + header, bytes.begin() + header + 4), "IMPS");
        EXPECT_EQ(bytes[header + 0x12] & 0x03, 0x03) << "data present, 16-bit";
        EXPECT_EQ((bytes[header + 0x12] & 0x10) != 0, s.looped);
        EXPECT_EQ(bytes[header + 0x2E] & 0x01, 0x01) << "signed";
        EXPECT_EQ(read32(bytes, header + 0x30), s.frames.size()) << "length in frames";
        EXPECT_EQ(read32(bytes, header + 0x3C), s.c5Speed);
        const uint32_t data = read32(bytes, header + 0x48);
        ASSERT_LE(data + 2 * s.frames.size(), bytes.size());
        for (size_t f = 0; f < s.frames.size(); f += 97)
            ASSERT_EQ(static_cast<int16_t>(read16(bytes, data + 2 * f)), s.frames[f]) << "frame " << f;
    }
    const size_t patternPointers = samplePointers + 4 * source.samples.size();
    const uint32_t second = read32(bytes, patternPointers + 4);
    EXPECT_EQ(read16(bytes, second + 2), 32) << "rows of the second pattern";
}

TEST(ItWriter, PackedRowsRepeatAChannelsMaskOnlyWhenItChanges)
{
    ItPattern p(32, 2);
    p.at(0, 1) = {60, 1, ItCell::noVolume, 0, 0};
    p.at(1, 1) = {62, 1, ItCell::noVolume, 0, 0};
    p.at(2, 1) = {ItCell::noNote, 0, 10, 0, 0};
    const std::vector<uint8_t> packed = ItWriter::packPattern(p);
    const std::vector<uint8_t> expected = {
        0x82, 0x03, 60, 1, 0, // channel 2 with mask (note, sample), row end
        0x02, 62, 1, 0,       // same mask: channel byte only
        0x82, 0x04, 10, 0,    // new mask (volume)
    };
    ASSERT_GE(packed.size(), expected.size());
    EXPECT_EQ(
        std::vector<uint8_t>(packed.begin(), packed.begin() + static_cast<long>(expected.size())), expected);
    EXPECT_EQ(packed.size(), expected.size() + 29) << "29 empty rows, one end byte each";
}
