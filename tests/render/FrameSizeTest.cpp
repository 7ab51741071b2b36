// Frame heights against the GL's limits, and a switch of the frame's size in the headless
// context: what follows the height and what stays as the scene set it.
#include "render/FrameSize.h"
#include "render/FeedbackLayer.h"
#include "render/GLWindow.h"
#include "render/SceneRegistry.h"
#include "support/GLTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

using testsupport::pixelAt;

namespace {

// llvmpipe's limits
constexpr FrameLimits llvmpipe { 16384, 16384, 16384, 16384, 255.0f, 255.0f };

TEST(FrameLimits, TheLargestHeightIsSetByTheTightestLimit)
{
    // the points: round(10 * H / 480) <= 255 up to 12263, as a multiple of 6
    EXPECT_EQ(largestFrameHeight(llvmpipe), 12258);
    EXPECT_TRUE(frameHeightProblem(12258, llvmpipe).empty());
    EXPECT_NE(frameHeightProblem(12264, llvmpipe).find("points are 256 pixels"), std::string::npos);

    FrameLimits texture = llvmpipe; // 4096 wide: 3072 high; 3000 is not a power of two
    texture.maxTextureSize = 4096;
    EXPECT_EQ(largestFrameHeight(texture), 3072);
    texture.maxTextureSize = 3000; // only 2048 texels are usable
    EXPECT_EQ(largestFrameHeight(texture), 1536);
    EXPECT_NE(frameHeightProblem(1542, texture).find("feedback texture"), std::string::npos);

    FrameLimits viewport = llvmpipe;
    viewport.maxViewportHeight = 2000;
    EXPECT_EQ(largestFrameHeight(viewport), 1998);
    EXPECT_NE(frameHeightProblem(2004, viewport).find("viewport, 16384x2000"), std::string::npos);

    FrameLimits lines = llvmpipe; // the loading bar's outline of 2 pixels at 480
    lines.maxLineWidth = 10.0f;
    EXPECT_EQ(largestFrameHeight(lines), 2514); // round(2 * 2514 / 480) = 10
    EXPECT_NE(frameHeightProblem(2520, lines).find("lines are 11 pixels"), std::string::npos);
}

TEST(FrameLimits, HeightsAreMultiplesOfSixFrom480)
{
    for (const int height : { 480, 486, 960, 1080, 1440, 2160 })
        EXPECT_TRUE(frameHeightProblem(height, llvmpipe).empty()) << height;
    for (const int height : { 0, 474, 481, 1000, -480 })
        EXPECT_NE(frameHeightProblem(height, llvmpipe).find("multiple of 6 from 480"), std::string::npos)
            << height;
}

TEST(FrameLimits, AnAreaGetsTheLargestFrameThatFitsButNeverLessThan480)
{
    EXPECT_EQ(frameHeightFitting(1920, 1080, llvmpipe), 1080);
    EXPECT_EQ(frameHeightFitting(3840, 2160, llvmpipe), 2160);
    EXPECT_EQ(frameHeightFitting(1366, 768, llvmpipe), 768);
    EXPECT_EQ(frameHeightFitting(1000, 1000, llvmpipe), 750); // a tall window: its width decides
    EXPECT_EQ(frameHeightFitting(1001, 1001, llvmpipe), 750);
    EXPECT_EQ(frameHeightFitting(320, 240, llvmpipe), 480);
    EXPECT_EQ(frameHeightFitting(40000, 30000, llvmpipe), 12258);
}

TEST(FrameLimits, TextureSidesAreTheNextPowerOfTwo)
{
    EXPECT_EQ(textureSizeFor(640), 1024);
    EXPECT_EQ(textureSizeFor(480), 512);
    EXPECT_EQ(textureSizeFor(1024), 1024);
    EXPECT_EQ(textureSizeFor(1440), 2048);
    EXPECT_EQ(textureSizeFor(2880), 4096);
}

class FrameSizeTest : public testsupport::GLTest {
protected:
    void TearDown() override
    {
        std::string error;
        EXPECT_TRUE(setFrameHeight(baseFrameHeight, error)) << error;
        feedbackLayer->release();
    }

    static GLint textureLevelSize(GLenum name)
    {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, FeedbackLayer::texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
        return value;
    }
};

TEST_F(FrameSizeTest, ANewHeightRemakesFrameAndTrailsAndScalesTheLineWidthButKeepsTheClearColour)
{
    feedbackLayer->load();
    glLineWidth(1.0f);
    glClearColor(0.0f, 0.2f, 0.4f, 0.0f);
    std::string error;
    ASSERT_TRUE(setFrameHeight(1080, error)) << error;

    EXPECT_EQ(glWindow->width(), 1440);
    EXPECT_EQ(textureLevelSize(GL_TEXTURE_WIDTH), 2048);
    EXPECT_EQ(textureLevelSize(GL_TEXTURE_HEIGHT), 2048);
    GLfloat lineWidth = 0.0f, clear[4] = {};
    glGetFloatv(GL_LINE_WIDTH, &lineWidth);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(lineWidth, 2.0f); // 2.25 rounded
    EXPECT_FLOAT_EQ(clear[2], 0.4f);
    EXPECT_EQ(glWindow->scaledPixels(10.0f), 23.0f); // 22.5: ties go up on every driver

    // the whole frame is drawn into, its top-right pixel too
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(pixelAt(1439, 1079), (std::array<int, 3> { 0, 51, 102 }));

    // a 2D box covers the whole frame
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -1.0f);
    glWindow->begin2D(1.0f, 1.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glRectf(-0.5f, -0.5f, 0.5f, 0.5f);
    glWindow->end2D();
    EXPECT_EQ(pixelAt(0, 0), (std::array<int, 3> { 255, 255, 255 }));
    EXPECT_EQ(pixelAt(1439, 1079), (std::array<int, 3> { 255, 255, 255 }));

    // back at 480 the line width and texture are the demo's own
    ASSERT_TRUE(setFrameHeight(480, error)) << error;
    glGetFloatv(GL_LINE_WIDTH, &lineWidth);
    EXPECT_EQ(lineWidth, 1.0f);
    EXPECT_EQ(textureLevelSize(GL_TEXTURE_WIDTH), 1024);
    EXPECT_EQ(textureLevelSize(GL_TEXTURE_HEIGHT), 512);
}

TEST_F(FrameSizeTest, AHeightBeyondTheLimitsIsRefusedAndTheFrameStaysAsItWas)
{
    std::string error;
    ASSERT_TRUE(setFrameHeight(960, error)) << error;
    EXPECT_FALSE(setFrameHeight(60000, error));
    EXPECT_NE(error.find("the largest height here is"), std::string::npos) << error;
    EXPECT_EQ(glWindow->height(), 960);
    glClearColor(1.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(pixelAt(1279, 959), (std::array<int, 3> { 255, 0, 0 }));
}

} // namespace
