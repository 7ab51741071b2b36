// The feedback layer against the blend arithmetic, read back from the offscreen frame.
#include "render/FeedbackLayer.h"
#include "support/GLTestContext.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <cmath>

using testsupport::pixelAt;

namespace {

class Feedback : public testsupport::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-1.0, 1.0, -1.0, 1.0, 1.0, 20.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        layer.load();
    }
    void TearDown() override { layer.release(); }

    static void fill(float r, float g, float b)
    {
        glClearColor(r, g, b, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    FeedbackLayer layer;
};

} // namespace

TEST_F(Feedback, DrawsNothingBeforeTheFirstCapture)
{
    layer.setColor(1.0f, 1.0f, 1.0f, 0.99f);
    fill(0.2f, 0.4f, 0.6f);
    const auto before = pixelAt(320, 240);
    layer.draw(0.0f);
    EXPECT_EQ(pixelAt(320, 240), before);
    EXPECT_EQ(pixelAt(5, 5), before);
}

TEST_F(Feedback, OnePassBlendsTheCaptureOverTheFrameWithTheBuildAlpha)
{
    for (const float a : { 0.65f, 0.99f }) {
        layer.setColor(1.0f, 1.0f, 1.0f, a);
        const float captured[3] = { 1.0f, 0.5f, 0.0f };
        const float below[3] = { 0.0f, 0.25f, 1.0f };
        fill(captured[0], captured[1], captured[2]);
        layer.captureScreen();
        fill(below[0], below[1], below[2]);
        layer.draw(0.0f);

        const auto pixel = pixelAt(320, 240);
        for (int c = 0; c < 3; ++c) {
            const float expected = a * captured[c] + (1.0f - a) * below[c];
            EXPECT_NEAR(pixel[c] / 255.0f, expected, 1.0f / 255.0f + 1e-4f)
                << "alpha " << a << " channel " << c;
        }
    }
}

TEST_F(Feedback, CapturedTexelsAreOpaqueBecauseTheFrameHasNoAlpha)
{
    GLint alphaSize = -1;
    glGetFramebufferAttachmentParameteriv(
        GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_FRAMEBUFFER_ATTACHMENT_ALPHA_SIZE, &alphaSize);
    EXPECT_EQ(alphaSize, 0);

    fill(0.5f, 0.5f, 0.5f); // clear alpha 0 has nowhere to go
    layer.captureScreen();
    std::vector<unsigned char> texels(1024 * 512 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels[3], 255);                          // texel (0, 0)
    EXPECT_EQ(texels[(479 * 1024 + 639) * 4 + 3], 255); // the last captured texel
    EXPECT_EQ(texels[(479 * 1024 + 640) * 4 + 3], 0);   // outside the capture: untouched
}

TEST_F(Feedback, DrawRestoresWhatItChanges)
{
    glEnable(GL_DEPTH_TEST);
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
    const int projection = testsupport::matrixStackDepth(GL_PROJECTION_STACK_DEPTH);
    const int modelview = testsupport::matrixStackDepth(GL_MODELVIEW_STACK_DEPTH);

    layer.setColor(1.0f, 1.0f, 1.0f, 0.65f);
    layer.draw(0.0f);

    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.1f);
    EXPECT_FLOAT_EQ(colour[3], 0.4f);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(testsupport::matrixStackDepth(GL_PROJECTION_STACK_DEPTH), projection);
    EXPECT_EQ(testsupport::matrixStackDepth(GL_MODELVIEW_STACK_DEPTH), modelview);
    glDisable(GL_DEPTH_TEST);
}
