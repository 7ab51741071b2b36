// The browser's position table: lookups between row starts, the order starts that
// Space seeks to, and text that is refused rather than half read.
#include "platform/audio/PositionTable.h"

#include <gtest/gtest.h>

using platform::PositionTable;

namespace {

// order 0: rows 0 and 1 of 100 frames each; order 1: row 0 of 200 frames
PositionTable threeRows()
{
    PositionTable table(1000);
    table.addRow(0, 0, 0);
    table.addRow(100, 0, 1);
    table.addRow(150, 0, 1); // the same row again: still the one that began at 100
    table.addRow(200, 1, 0);
    table.setFrames(400);
    return table;
}

} // namespace

TEST(PositionTable, PositionIsTheRowHoldingTheFrameWithThePartPlayed)
{
    const PositionTable table = threeRows();
    ASSERT_EQ(table.rowStarts().size(), 3u);

    const auto first = table.positionAt(0);
    EXPECT_EQ(first.order, 0);
    EXPECT_EQ(first.row, 0);
    EXPECT_FLOAT_EQ(first.rowFraction, 0.0f);

    const auto middle = table.positionAt(150);
    EXPECT_EQ(middle.row, 1);
    EXPECT_FLOAT_EQ(middle.rowFraction, 0.5f);

    const auto lastRow = table.positionAt(300);
    EXPECT_EQ(lastRow.order, 1);
    EXPECT_FLOAT_EQ(lastRow.rowFraction, 0.5f); // measured to the end of the audio

    // past the end the last row holds, never reading as the next
    const auto after = table.positionAt(5000);
    EXPECT_EQ(after.order, 1);
    EXPECT_LT(after.rowFraction, 1.0f);
}

TEST(PositionTable, SeeksFindTheFirstTimeARowIsPlayed)
{
    PositionTable table = threeRows();
    table.addRow(400, 0, 0); // the music comes back to order 0
    EXPECT_EQ(table.frameOf(1, 0), 200u);
    EXPECT_EQ(table.frameOf(0, 0), 0u);
    EXPECT_FALSE(table.frameOf(2, 0).has_value());
    EXPECT_FALSE(table.frameOf(1, 5).has_value());
}

TEST(PositionTable, TextReadsBackAsTheSameTable)
{
    const PositionTable table = threeRows();
    PositionTable read;
    std::string error;
    ASSERT_TRUE(read.parse(table.serialise(), error)) << error;
    EXPECT_EQ(read.sampleRate(), 1000);
    EXPECT_EQ(read.frameCount(), 400u);
    EXPECT_EQ(read.serialise(), table.serialise());
}

TEST(PositionTable, BrokenTextIsRefusedAndLeavesTheTableAlone)
{
    const std::string good = threeRows().serialise();
    const auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::string broken[] = {
        "", replaced("vorimel-positions 1", "vorimel-positions 2"), replaced("rate 1000", "rate 0"),
        replaced("rows 3", "rows 4"),       // a row short
        replaced("200 1 0", "50 1 0"),      // rows going backwards
        replaced("200 1 0", "200 70000 0"), // an order beyond 16 bits
        good.substr(0, good.size() - 3),    // the last row cut short
        good + "300 1 1\n",                 // one row more than counted
    };
    for (const std::string& text : broken) {
        PositionTable table = threeRows();
        std::string error;
        EXPECT_FALSE(table.parse(text, error)) << text;
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(table.serialise(), good);
    }
}
