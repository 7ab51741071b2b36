// Drawing through the layer on Mesa's GLES2: the frame behaves as one without alpha
// planes, wide lines cover whole pixel rows, read-back packs RGB rows as asked.
#include "platform/gles/FixedFunction.h"
#include "platform/headless/gles/GlesHeadlessContext.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

// One context for the process, never destroyed: terminating EGL unloads the driver,
// whose allocations would then show up as leaks of an unknown module.
platform::GlesHeadlessContext* gles(std::string& error)
{
    static platform::GlesHeadlessContext* context
        = platform::GlesHeadlessContext::create(640, 480, error).release();
    return context;
}

class LayerDraw : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        platform::GlesHeadlessContext* context = gles(error);
        ASSERT_TRUE(context) << error;
        context->makeCurrent();
        ffgl::reset();
        // one window pixel per unit
        ffgl::matrixMode(ffgl::glProjection);
        ffgl::loadIdentity();
        ffgl::ortho(0.0, 640.0, 0.0, 480.0, -1.0, 1.0);
        ffgl::matrixMode(ffgl::glModelview);
        ffgl::clearColor(0.0f, 0.0f, 1.0f, 0.0f);
        ffgl::clear(GL_COLOR_BUFFER_BIT);
    }
    void TearDown() override { ffgl::reset(); }

    static std::array<int, 3> pixel(int x, int y)
    {
        uint8_t rgb[4] = {};
        ffgl::pixelStorei(GL_PACK_ALIGNMENT, 1);
        ffgl::readPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        return { rgb[0], rgb[1], rgb[2] };
    }

    static void square(float x0, float y0, float x1, float y1)
    {
        ffgl::begin(ffgl::glQuads);
        ffgl::texCoord2f(0.0f, 0.0f);
        ffgl::vertex3f(x0, y0, 0.0f);
        ffgl::texCoord2f(1.0f, 0.0f);
        ffgl::vertex3f(x1, y0, 0.0f);
        ffgl::texCoord2f(1.0f, 1.0f);
        ffgl::vertex3f(x1, y1, 0.0f);
        ffgl::texCoord2f(0.0f, 1.0f);
        ffgl::vertex3f(x0, y1, 0.0f);
        ffgl::end();
    }
};

TEST_F(LayerDraw, SaturateBlendSeesNoDestinationAlpha)
{
    // min(source alpha, 1 - destination alpha) is 0 where the frame reads alpha 1
    ffgl::enable(GL_BLEND);
    ffgl::blendFunc(GL_SRC_ALPHA_SATURATE, GL_ONE);
    ffgl::color4f(1.0f, 1.0f, 1.0f, 0.5f);
    square(0.0f, 0.0f, 64.0f, 64.0f);
    EXPECT_EQ(pixel(32, 32), (std::array<int, 3> { 0, 0, 255 }));

    ffgl::blendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    square(0.0f, 0.0f, 64.0f, 64.0f);
    const std::array<int, 3> mixed = pixel(32, 32);
    EXPECT_NEAR(mixed[0], 128, 1);
    EXPECT_NEAR(mixed[2], 255, 1);
}

TEST_F(LayerDraw, ScreenCopiesCarryAlphaOne)
{
    // a transparent black RGBA texture, as the feedback layer makes it
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    std::vector<uint8_t> zeros(64 * 64 * 4, 0);
    ffgl::texImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(ffgl::glRgba8), 64, 64, 0, GL_RGBA,
        GL_UNSIGNED_BYTE, zeros.data());
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    ASSERT_EQ(ffgl::getError(), static_cast<GLenum>(GL_NO_ERROR));

    ffgl::enable(GL_TEXTURE_2D);
    ffgl::enable(GL_BLEND);
    ffgl::blendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    ffgl::color4f(1.0f, 1.0f, 1.0f, 1.0f);
    square(100.0f, 100.0f, 164.0f, 164.0f);
    EXPECT_EQ(pixel(132, 132), (std::array<int, 3> { 0, 0, 255 })) << "alpha 0 texels changed the frame";

    // a white point the layer keeps back, which the copy must still see
    ffgl::disable(GL_TEXTURE_2D);
    ffgl::begin(GL_POINTS);
    ffgl::vertex3f(10.5f, 10.5f, 0.0f);
    ffgl::end();
    ffgl::enable(GL_TEXTURE_2D);

    // copy a blue region in, clear to red, draw the copy: opaque blue again
    ffgl::copyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, 64, 64);
    ASSERT_EQ(ffgl::getError(), static_cast<GLenum>(GL_NO_ERROR));
    ffgl::clearColor(1.0f, 0.0f, 0.0f, 0.0f);
    ffgl::clear(GL_COLOR_BUFFER_BIT);
    square(100.0f, 100.0f, 164.0f, 164.0f);
    EXPECT_EQ(pixel(132, 132), (std::array<int, 3> { 0, 0, 255 }));
    EXPECT_EQ(pixel(110, 110), (std::array<int, 3> { 255, 255, 255 }));
    glDeleteTextures(1, &texture);
}

TEST_F(LayerDraw, WideLinesCoverWholeRowsAndThinLinesOne)
{
    ffgl::color3f(1.0f, 1.0f, 1.0f);
    ffgl::lineWidth(2.0f);
    ffgl::begin(GL_LINES);
    ffgl::vertex3f(100.0f, 50.0f, 0.0f);
    ffgl::vertex3f(200.0f, 52.0f, 0.0f);
    ffgl::end();
    ffgl::lineWidth(1.0f);
    ffgl::begin(GL_LINES);
    ffgl::vertex3f(300.5f, 10.0f, 0.0f);
    ffgl::vertex3f(300.5f, 90.0f, 0.0f);
    ffgl::end();

    // the wide line at x = 150 runs through y = 51: rows 50 and 51 only
    int lit = 0;
    for (int y = 45; y < 58; ++y)
        lit += pixel(150, y)[0] == 255 ? 1 : 0;
    EXPECT_EQ(lit, 2);
    EXPECT_EQ(pixel(150, 50)[0], 255);
    EXPECT_EQ(pixel(150, 51)[0], 255);
    EXPECT_EQ(pixel(300, 50)[0], 255);
    EXPECT_EQ(pixel(299, 50)[0], 0);
    EXPECT_EQ(pixel(301, 50)[0], 0);
}

TEST_F(LayerDraw, ReadPixelsPacksRgbRowsWithTheAskedAlignment)
{
    ffgl::color3f(1.0f, 0.0f, 0.0f);
    square(0.0f, 0.0f, 1.0f, 2.0f); // one red pixel at (0, 0) and (0, 1)
    ffgl::pixelStorei(GL_PACK_ALIGNMENT, 4);
    std::vector<uint8_t> padded(2 * 8, 0xAA);
    ffgl::readPixels(0, 0, 2, 2, GL_RGB, GL_UNSIGNED_BYTE, padded.data());
    // row 0 at offset 0, row 1 at offset 8 (6 bytes rounded up to 4)
    EXPECT_EQ(padded[0], 255);
    EXPECT_EQ(padded[3], 0);
    EXPECT_EQ(padded[5], 255);
    EXPECT_EQ(padded[6], 0xAA) << "padding was written";
    EXPECT_EQ(padded[8], 255);
    EXPECT_EQ(padded[11], 0);
}

TEST_F(LayerDraw, AFrameRemadeAtAnotherSizeIsDrawnWholeWithTheLayersStateReadBack)
{
    std::string error;
    platform::GlesHeadlessContext* context = gles(error);
    // state the resize must neither lose nor take from GLES2 (which knows none of it)
    ffgl::lineWidth(3.0f);
    ffgl::clearColor(0.25f, 0.5f, 0.75f, 0.0f);
    square(0.0f, 0.0f, 64.0f, 64.0f); // GLES2 has now been sent the 640x480 viewport

    ASSERT_TRUE(context->resizeFrame(960, 720));
    GLfloat width = 0.0f;
    GLfloat clear[4] = {};
    GLfloat widths[2] = {};
    ffgl::getFloatv(GL_LINE_WIDTH, &width);
    ffgl::getFloatv(GL_COLOR_CLEAR_VALUE, clear);
    ffgl::getFloatv(GL_ALIASED_LINE_WIDTH_RANGE, widths);
    EXPECT_EQ(width, 3.0f);
    EXPECT_EQ(clear[2], 0.75f);
    EXPECT_GE(widths[1], 720.0f) << "lines are quads: a scaled width must not be refused";

    // the projection still spans 640x480 units: the viewport must now span 960x720 pixels
    ffgl::color3f(1.0f, 1.0f, 1.0f);
    square(0.0f, 0.0f, 640.0f, 480.0f);
    EXPECT_EQ(pixel(959, 719), (std::array<int, 3> { 255, 255, 255 }));
    EXPECT_EQ(pixel(700, 600), (std::array<int, 3> { 255, 255, 255 }));
    EXPECT_EQ(ffgl::state().currentViewport().height, 720) << "a pushed viewport would come back stale";

    // the old size asked for again reaches GLES2, though it was the last one sent
    ffgl::viewport(0, 0, 640, 480);
    ffgl::clearColor(0.0f, 0.0f, 0.0f, 0.0f);
    ffgl::clear(GL_COLOR_BUFFER_BIT);
    ffgl::color3f(1.0f, 0.0f, 0.0f);
    square(0.0f, 0.0f, 640.0f, 480.0f);
    EXPECT_EQ(pixel(639, 479), (std::array<int, 3> { 255, 0, 0 }));
    EXPECT_EQ(pixel(700, 600), (std::array<int, 3> { 0, 0, 0 }));

    ASSERT_TRUE(context->resizeFrame(640, 480)); // as the other tests draw
}

TEST_F(LayerDraw, EachBatchGetsItsOwnPointSizeAndTheStateIsSentAgainAfterOutsideGl)
{
    const auto point = [](float x, float y, float size) {
        ffgl::pointSize(size);
        ffgl::begin(GL_POINTS);
        ffgl::vertex3f(x, y, 0.0f);
        ffgl::end();
    };
    const std::array<int, 3> white { 255, 255, 255 };
    const std::array<int, 3> blue { 0, 0, 255 };
    ffgl::color3f(1.0f, 1.0f, 1.0f);
    point(100.5f, 100.5f, 5.0f);
    point(200.5f, 100.5f, 1.0f);
    point(300.5f, 100.5f, 5.0f);
    EXPECT_EQ(pixel(102, 100), white);
    EXPECT_EQ(pixel(202, 100), blue) << "a one-pixel point drawn at the size before it";
    EXPECT_EQ(pixel(302, 100), white);

    // a surface showing the frame uses GLES2 itself, then tells the layer
    glUseProgram(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDisableVertexAttribArray(1);
    ffgl::forgetSentState();
    ffgl::color3f(1.0f, 0.0f, 0.0f);
    square(0.0f, 0.0f, 64.0f, 64.0f);
    EXPECT_EQ(pixel(32, 32), (std::array<int, 3> { 255, 0, 0 }));
}

TEST_F(LayerDraw, PointsKeptBackAreDrawnInOrderBeforeWhatFollows)
{
    const auto point = [](float x, float y) {
        ffgl::begin(GL_POINTS);
        ffgl::vertex3f(x, y, 0.0f);
        ffgl::end();
    };
    const std::array<int, 3> red { 255, 0, 0 };
    const std::array<int, 3> white { 255, 255, 255 };
    // under a quad drawn after it
    ffgl::color3f(1.0f, 1.0f, 1.0f);
    point(10.5f, 10.5f);
    ffgl::color3f(1.0f, 0.0f, 0.0f);
    square(0.0f, 0.0f, 32.0f, 32.0f);
    EXPECT_EQ(pixel(10, 10), red);

    // gone after a clear that follows it
    ffgl::color3f(1.0f, 1.0f, 1.0f);
    point(50.5f, 50.5f);
    ffgl::clear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(pixel(50, 50), (std::array<int, 3> { 0, 0, 255 }));

    // two batches with a blend change between them: the later one lands on top
    point(70.5f, 70.5f);
    ffgl::enable(GL_BLEND);
    ffgl::blendFunc(GL_ZERO, GL_ZERO); // draws black
    point(70.5f, 70.5f);
    ffgl::disable(GL_BLEND);
    point(90.5f, 90.5f);
    EXPECT_EQ(pixel(70, 70), (std::array<int, 3> { 0, 0, 0 }));
    EXPECT_EQ(pixel(90, 90), white);
}

} // namespace
