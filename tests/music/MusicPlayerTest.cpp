// The music player's calls on its backend and its unpacking of positions.
#include "music/MusicPlayer.h"
#include "support/ScriptedBackend.h"

#include <gtest/gtest.h>

using testsupport::ScriptedBackend;

namespace {

struct PlayerWithScript : ::testing::Test {
    PlayerWithScript() { player.setBackend(&backend); }

    ScriptedBackend backend;
    MusicPlayer player;
};

} // namespace

TEST_F(PlayerWithScript, UnpacksOrderAndRowDroppingThePartOfARow)
{
    ASSERT_EQ(player.init(), 0);
    backend.reported = (uint64_t { 37 } << 16) | 9; // row 3 and a part, order 9
    player.update();
    EXPECT_EQ(player.order(), 9);
    EXPECT_EQ(player.row(), 3);

    // Only the low 32 bits count.
    backend.reported = (uint64_t { 0xABCD } << 32) | (uint64_t { 31 * 12 + 11 } << 16) | 14;
    player.update();
    EXPECT_EQ(player.order(), 14);
    EXPECT_EQ(player.row(), 31);
}

TEST_F(PlayerWithScript, SetPositionPacksRowHighAndOrderLowSignExtended)
{
    player.setPosition(6, 0);
    player.setPosition(0x1FFFF, 0x10002); // each half masked to 16 bits
    player.setPosition(1, 0x8000);        // a high half with its top bit set widens with ones
    ASSERT_EQ(backend.positionsSet.size(), 3u);
    EXPECT_EQ(backend.positionsSet[0], 6u);
    EXPECT_EQ(backend.positionsSet[1], (uint64_t { 2 } << 16) | 0xFFFF);
    EXPECT_EQ(backend.positionsSet[2], 0xFFFFFFFF80000001u);
}

TEST_F(PlayerWithScript, InitWithoutADeviceFailsBeforeSettingTheVolume)
{
    backend.deviceAvailable = false;
    EXPECT_EQ(player.init(), -1);
    EXPECT_EQ(player.positionScaler, 12);
    EXPECT_EQ(backend.calls, (std::vector<std::string> { "openDevice 44100" }));
}

TEST_F(PlayerWithScript, LoadingPlaysOnlyAModuleThatLoaded)
{
    backend.moduleHandle = 0;
    EXPECT_EQ(player.loadModule("./data/none.it"), 0u);
    EXPECT_EQ(player.musicHandle, 0u);
    EXPECT_EQ(backend.calls, (std::vector<std::string> { "loadModule ./data/none.it" }));

    backend.moduleHandle = 5;
    backend.calls.clear();
    EXPECT_EQ(player.loadModule("./data/mordel.it"), 5u);
    EXPECT_EQ(player.musicHandle, 5u);
    EXPECT_EQ(backend.calls, (std::vector<std::string> { "loadModule ./data/mordel.it", "play 5" }));
}
