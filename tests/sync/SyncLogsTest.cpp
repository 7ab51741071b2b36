// Reading the measurement's files back, and refusing malformed ones by line.
#include "SyncLogs.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace syncbench;

std::string write(const std::string& name, const std::string& text)
{
    return testsupport::writeTemporaryFile(name, std::vector<unsigned char>(text.begin(), text.end()));
}

TEST(SyncLogs, ReadsPositionsStampsAndScreenUpdates)
{
    std::string error;
    const auto positions = readPositionLog(
        write("positions.log", "100 120 3 17 0.25000\n\n2000000000000 2000000000001 14 0 0.99999\n"), error);
    ASSERT_TRUE(positions) << error;
    ASSERT_EQ(positions->size(), 2u);
    EXPECT_EQ((*positions)[0].readNs, 100);
    EXPECT_EQ((*positions)[0].forNs, 120);
    EXPECT_EQ((*positions)[0].order, 3);
    EXPECT_EQ((*positions)[0].row, 17);
    EXPECT_DOUBLE_EQ((*positions)[0].fraction, 0.25);
    EXPECT_EQ((*positions)[1].forNs, 2000000000001);

    const auto stamps = readCaptureStamps(write("capture.stamps", "441 5000 -5829\n882 15000 12\n"), error);
    ASSERT_TRUE(stamps) << error;
    ASSERT_EQ(stamps->size(), 2u);
    EXPECT_EQ((*stamps)[0].latencyUs, -5829);
    EXPECT_EQ((*stamps)[1].frames, 882);

    const auto updates = readScreenUpdates(write("screen.log", "77 95.5 96.0 95.1 110.6 78.0\n"), error);
    ASSERT_TRUE(updates) << error;
    ASSERT_EQ(updates->size(), 1u);
    EXPECT_EQ((*updates)[0].ns, 77);
    EXPECT_DOUBLE_EQ((*updates)[0].whole, 95.5);
    EXPECT_DOUBLE_EQ((*updates)[0].bands[2], 110.6);
    EXPECT_DOUBLE_EQ((*updates)[0].bands[3], 78.0);
}

TEST(SyncLogs, NamesTheFirstMalformedLine)
{
    std::string error;
    EXPECT_FALSE(readPositionLog(write("bad1.log", "1 1 0 0 0.5\n1 1 0 0 1.0\n"), error));
    EXPECT_NE(error.find("bad1.log:2"), std::string::npos) << error << ": a fraction of a whole row";
    EXPECT_FALSE(readPositionLog(write("bad2.log", "1 1 0 0 0.5 extra\n"), error));
    EXPECT_NE(error.find("bad2.log:1"), std::string::npos) << error;
    EXPECT_FALSE(readScreenUpdates(write("bad3.log", "1 2 3 4 5\n"), error)) << "a band missing";
    EXPECT_FALSE(readCaptureStamps(write("bad4.log", "-441 1 1\n"), error));
    EXPECT_FALSE(readPositionLog("/nonexistent/positions.log", error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
}

TEST(SyncLogs, AveragesTheRecordedChannelsAndDropsAPartialFrame)
{
    const float stereo[] = { 0.5f, -0.25f, 1.0f, 1.0f, 0.75f };
    std::vector<unsigned char> bytes(sizeof stereo);
    std::memcpy(bytes.data(), stereo, sizeof stereo);
    std::string error;
    const auto mono = readStereoAsMono(testsupport::writeTemporaryFile("recording.f32", bytes), error);
    ASSERT_TRUE(mono) << error;
    EXPECT_EQ(*mono, (std::vector<float> { 0.125f, 1.0f }));
}

} // namespace
