// A switch of the frame's size in the headless context: what follows the height and
// what stays as the scene set it.
#include "render/FrameResizer.h"
#include "render/FeedbackLayer.h"
#include "render/GLWindow.h"
#include "render/SceneRegistry.h"
#include "support/GLTestContext.h"
#include "support/TestSurface.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

using testsupport::pixelAt;

namespace {

class FrameResizer : public testsupport::GLTest {
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

TEST_F(FrameResizer, ANewHeightRemakesFrameAndTrailsAndScalesTheLineWidthButKeepsTheClearColour)
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

TEST_F(FrameResizer, AHeightBeyondTheLimitsIsRefusedAndTheFrameStaysAsItWas)
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

TEST_F(FrameResizer, OnlyAFrameThatFollowsItsWindowIsDrawnAnewAtTheHeightItsNewSizeFits)
{
    testsupport::TestSurface& surface = testsupport::testSurface();
    surface.shownWidth = 1366;
    surface.shownHeight = 768;
    windowResized();
    EXPECT_EQ(glWindow->height(), 480) << "the frame does not follow the window";

    glWindow->setFollowsWindow(true);
    windowResized();
    EXPECT_EQ(glWindow->width(), 1024);
    EXPECT_EQ(glWindow->height(), 768);
    surface.shownWidth = 0; // a size no longer known leaves the frame as it is
    windowResized();
    EXPECT_EQ(glWindow->height(), 768);
    glWindow->setFollowsWindow(false);
}

} // namespace
