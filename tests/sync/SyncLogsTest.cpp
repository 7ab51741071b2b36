// Reading the measurement's files back, and refusing malformed ones by line.
#include "SyncLogs.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace syncbench;

std::string write(const testsupport::TestFolder& folder, const std::string& name, const std::string& text)
{
    return folder.write(name, std::vector<unsigned char>(text.begin(), text.end()));
}

TEST(SyncLogs, ReadsPositionsStampsAndScreenUpdates)
{
    const testsupport::TestFolder folder;
    std::string error;
    const auto positions = readPositionLog(
        write(folder, "positions.log", "100 120 3 17 0.25000\n\n2000000000000 2000000000001 14 0 0.99999\n"),
        error);
    ASSERT_TRUE(positions) << error;
    ASSERT_EQ(positions->size(), 2u);
    EXPECT_EQ((*positions)[0].readNs, 100);
    EXPECT_EQ((*positions)[0].forNs, 120);
    EXPECT_EQ((*positions)[0].order, 3);
    EXPECT_EQ((*positions)[0].row, 17);
    EXPECT_DOUBLE_EQ((*positions)[0].fraction, 0.25);
    EXPECT_EQ((*positions)[1].forNs, 2000000000001);

    const auto stamps
        = readCaptureStamps(write(folder, "capture.stamps", "441 5000 -5829\n882 15000 12\n"), error);
    ASSERT_TRUE(stamps) << error;
    ASSERT_EQ(stamps->size(), 2u);
    EXPECT_EQ((*stamps)[0].latencyUs, -5829);
    EXPECT_EQ((*stamps)[1].frames, 882);

    const auto updates
        = readScreenUpdates(write(folder, "screen.log", "77 95.5 96.0 95.1 110.6 78.0\n"), error);
    ASSERT_TRUE(updates) << error;
    ASSERT_EQ(updates->size(), 1u);
    EXPECT_EQ((*updates)[0].ns, 77);
    EXPECT_DOUBLE_EQ((*updates)[0].whole, 95.5);
    EXPECT_DOUBLE_EQ((*updates)[0].bands[2], 110.6);
    EXPECT_DOUBLE_EQ((*updates)[0].bands[3], 78.0);
}

} // namespace
