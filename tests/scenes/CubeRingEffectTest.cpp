// The cube ring scene: viewpoints by pattern row, and the overlay picture.
#include "scenes/CubeRingEffect.h"
#include "scenes/SceneFixture.h"

#include <gtest/gtest.h>

#include <cmath>

using scenetest::Frame;

namespace {

class CubeRing : public scenetest::SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        if (HasFatalFailure())
            return;
        scene.load();
        scene.enter();
    }

    // A frame at the row, after a frame at time previous on row 3.
    Frame frameAfter(float previous, int row, float t = 1.0f, float level = 0.0f)
    {
        setMusic(7, 3);
        scene.draw(previous);
        setMusic(7, row, level);
        clearTrails();
        scene.draw(t);
        return readFrame();
    }

    CubeRingEffect scene;
};

} // namespace

TEST(CubeRingEffect, EyeBandsHoldTheirRowsInclusivelyAndSkipEightSixteenAndTwentyFour)
{
    const struct { unsigned row; float x, y, z; } bounds[] = {
        { 0,  0.0f,  0.0f, -5.0f}, { 7,  0.0f,  0.0f, -5.0f}, { 9,  0.0f, -5.0f,  0.0f}, {15,    0.0f, -5.0f,  0.0f},
        {17, -5.0f,  0.0f,  0.0f}, {23, -5.0f,  0.0f,  0.0f}, {25, -5.0f, -5.0f, -5.0f}, {65535, -5.0f, -5.0f, -5.0f},
    };
    for (const auto& bound : bounds) {
        const auto eye = CubeRingEffect::eyeForRow(bound.row);
        ASSERT_TRUE(eye) << "row " << bound.row;
        EXPECT_TRUE(eye->x == bound.x && eye->y == bound.y && eye->z == bound.z) << "row " << bound.row;
    }
    for (const unsigned row : {8u, 16u, 24u})
        EXPECT_FALSE(CubeRingEffect::eyeForRow(row)) << "row " << row;
}

TEST_F(CubeRing, RowsEightSixteenAndTwentyFourAreSeenFromThePreviousFramesMovingEye)
{
    for (const int row : {7, 8, 9, 15, 16, 17, 23, 24, 25}) {
        const bool keepsEye = row == 8 || row == 16 || row == 24;
        const int differing = differingPixels(frameAfter(0.0f, row), frameAfter(2.0f, row));
        EXPECT_EQ(differing > 1000, keepsEye) << "row " << row << ": " << differing;
    }
}

TEST_F(CubeRing, PictureGrowsWithTheLevelAndPulsesWithPeriodQuarterTurn)
{
    const float brightest = std::acos(-1.0f) / 8.0f; // alpha (sin 4t + 1) / 2 = 1
    EXPECT_GT(differingPixels(frameAfter(0.0f, 3, brightest, 0.0f), frameAfter(0.0f, 3, brightest, 2.0f)), 10000);
    const float invisible = 3.0f * brightest;
    EXPECT_EQ(differingPixels(frameAfter(0.0f, 3, invisible, 0.0f), frameAfter(0.0f, 3, invisible, 2.0f)), 0);
}
