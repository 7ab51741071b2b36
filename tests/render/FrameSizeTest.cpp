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

bool names(const std::string& problem, const char* text)
{
    return problem.find(text) != std::string::npos;
}

TEST(FrameLimits, TheLargestHeightIsSetByTheTightestLimit)
{
    // the points: round(10 * H / 480) <= 255 up to 12263, as a multiple of 6
    EXPECT_EQ(largestFrameHeight(llvmpipe), 12258);
    EXPECT_TRUE(frameHeightProblem(12258, llvmpipe).empty());
    EXPECT_TRUE(names(frameHeightProblem(12264, llvmpipe), "points are 256 pixels"));
    EXPECT_TRUE(names(frameHeightProblem(1000, llvmpipe), "multiple of 6 from 480"));

    FrameLimits texture = llvmpipe; // only 2048 of 3000 texels make a power of two
    texture.maxTextureSize = 3000;
    EXPECT_EQ(largestFrameHeight(texture), 1536);
    EXPECT_TRUE(names(frameHeightProblem(1542, texture), "feedback texture"));

    FrameLimits lines = llvmpipe; // the loading bar's outline, 2 pixels at 480
    lines.maxLineWidth = 10.0f;
    EXPECT_EQ(largestFrameHeight(lines), 2514); // round(2 * 2514 / 480) = 10
    EXPECT_TRUE(names(frameHeightProblem(2520, lines), "lines are 11 pixels"));
}

TEST(FrameLimits, AnAreaGetsTheLargestFrameThatFitsButNeverLessThan480)
{
    EXPECT_EQ(frameHeightFitting(3840, 2160, llvmpipe), 2160);
    EXPECT_EQ(frameHeightFitting(1366, 768, llvmpipe), 768);
    EXPECT_EQ(frameHeightFitting(1001, 1001, llvmpipe), 750); // a tall window: its width decides
    EXPECT_EQ(frameHeightFitting(320, 240, llvmpipe), 480);
    EXPECT_EQ(frameHeightFitting(40000, 30000, llvmpipe), 12258);
}

class FrameSizeTest : public testsupport::GLTest {
protected:
    void TearDown() override
    {
        std::string error;
        EXPECT_TRUE(setFrameHeight(baseFrameHeight, error)) << error;
        feedbackLayer->release();
    }

    static GLint feedbackTextureSize(GLenum name)
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

    EXPECT_EQ(feedbackTextureSize(GL_TEXTURE_WIDTH), 2048);
    EXPECT_EQ(feedbackTextureSize(GL_TEXTURE_HEIGHT), 2048);
    GLfloat lineWidth = 0.0f;
    glGetFloatv(GL_LINE_WIDTH, &lineWidth);
    EXPECT_EQ(lineWidth, 2.0f);                      // 2.25 rounded
    EXPECT_EQ(glWindow->scaledPixels(10.0f), 23.0f); // 22.5: ties go up on every driver
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(pixelAt(1439, 1079), (std::array<int, 3> { 0, 51, 102 }));

    ASSERT_TRUE(setFrameHeight(480, error)) << error;
    glGetFloatv(GL_LINE_WIDTH, &lineWidth);
    EXPECT_EQ(lineWidth, 1.0f);
    EXPECT_EQ(feedbackTextureSize(GL_TEXTURE_WIDTH), 1024);
    EXPECT_EQ(feedbackTextureSize(GL_TEXTURE_HEIGHT), 512);
}

TEST_F(FrameSizeTest, AHeightBeyondTheLimitsIsRefusedAndTheFrameStaysAsItWas)
{
    std::string error;
    ASSERT_TRUE(setFrameHeight(960, error)) << error;
    EXPECT_FALSE(setFrameHeight(60000, error));
    EXPECT_TRUE(names(error, "the largest height here is")) << error;
    EXPECT_EQ(glWindow->height(), 960);
    glClearColor(1.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(pixelAt(1279, 959), (std::array<int, 3> { 255, 0, 0 }));
}

} // namespace
