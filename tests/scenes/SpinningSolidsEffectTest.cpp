// The opening scene's beat flash and its two lower-half pictures.
#include "scenes/SceneFixture.h"
#include "scenes/SpinningSolidsEffect.h"

#include <gtest/gtest.h>

#include <utility>

using scenetest::Frame;

namespace {

class SpinningSolids : public scenetest::SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        if (HasFatalFailure())
            return;
        SpinningSolidsEffect::flash = 0.0f; // as at program start
        scene.load();
        scene.enter();
    }

    Frame frameAt(int order, int row, float level = 0.0f)
    {
        setMusic(order, row, level);
        clearTrails();
        scene.draw(2.0f);
        return readFrame();
    }

    SpinningSolidsEffect scene;
};

} // namespace

TEST_F(SpinningSolids, FlashIsOneOnEveryBeatRowAndDecaysPerFrameBetween)
{
    const std::pair<int, float> rowsAndFlashes[] = {
        {2, 0.0f}, {0, 1.0f},  {2, 0.95f},  {2, 0.904875f}, {7, 0.86393506f}, {1, 1.0f},  {10, 0.95f},
        {8, 1.0f}, {9, 1.0f},  {15, 0.95f}, {16, 1.0f},     {17, 1.0f},       {18, 0.95f}, {24, 1.0f},
        {25, 1.0f}, {26, 0.95f}, {23, 0.904875f},
    };
    for (const auto& [row, flash] : rowsAndFlashes) {
        setMusic(0, row);
        scene.draw(1.0f);
        EXPECT_FLOAT_EQ(SpinningSolidsEffect::flash, flash) << "row " << row;
    }
}

TEST_F(SpinningSolids, LowerHalfPictureFlashesOnTheBeatAndChangesInOrderThree)
{
    frameAt(2, 2); // the frames that follow are all seen from the scene's own eye
    const Frame unlit = frameAt(2, 2);
    EXPECT_EQ(differingPixels(unlit, frameAt(3, 2)), 0); // flash 0: no picture at all
    const Frame beat = frameAt(2, 0);
    EXPECT_GT(differingPixels(unlit, beat, 0, 235), 10000);
    EXPECT_EQ(differingPixels(unlit, beat, 245, 480), 0);
    EXPECT_GT(differingPixels(beat, frameAt(3, 0), 0, 235), 10000);
    // Saturate blending adds nothing to a frame without alpha planes, whatever the level.
    EXPECT_EQ(differingPixels(beat, frameAt(2, 0, 1.0f)), 0);
}
