// The strip picture's random updates and its strips, read back from the offscreen frame.
#include "render/Camera.h"
#include "scenes/StripPictureEffect.h"
#include "support/GLTestContext.h"
#include "support/TestFiles.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

using testsupport::pixelAt;

namespace {

// Follows the program's random sequence from wherever earlier code left it. Four numbers
// pin down the generator's state; its top bit never reaches the output.
class RandomMirror {
public:
    RandomMirror()
    {
        const std::vector<int> seen = draw();
        int found = 0;
        for (uint32_t low = 0; low < 0x10000; ++low)
            found += follows(uint32_t(seen[0]) << 16 | low, {seen.begin() + 1, seen.end()});
        EXPECT_EQ(found, 1) << "not the program's random sequence";
    }

    // What randomUnit returns after `ahead` further draws, and the strip it picks.
    double peek(int ahead) const
    {
        uint32_t s = state;
        for (int i = 0; i <= ahead; ++i)
            s = next(s);
        return output(s) * unit;
    }
    int peekStrip(int ahead) const { return static_cast<int>(128.0 * peek(ahead)); }

    void skip()
    {
        randomUnit();
        state = next(state);
    }

    // How many numbers were drawn since the mirror last followed the sequence.
    int drawnSince()
    {
        const std::vector<int> seen = draw();
        uint32_t s = state;
        for (int k = 0; k < 100000; ++k, s = next(s))
            if (follows(s, seen))
                return k;
        ADD_FAILURE() << "lost the random sequence";
        return -1;
    }

private:
    static constexpr double unit = static_cast<double>(1.0f / 32767.0f);
    static uint32_t next(uint32_t s) { return s * 214013u + 2531011u; }
    static int output(uint32_t s) { return static_cast<int>((s >> 16) & 0x7FFF); }

    static std::vector<int> draw()
    {
        std::vector<int> values;
        for (int i = 0; i < 4; ++i)
            values.push_back(static_cast<int>(std::lround(randomUnit() / unit)));
        return values;
    }

    // True when `seen` comes next after state s; the mirror then stands after it.
    bool follows(uint32_t s, const std::vector<int>& seen)
    {
        for (const int r : seen)
            if (output(s = next(s)) != r)
                return false;
        state = s;
        return true;
    }

    uint32_t state = 0;
};

class StripPicture : public testsupport::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        if (HasFatalFailure())
            return;
        // y from -25 to 25 shows the tallest strip whole, at 9.6 pixels a unit
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1.0, 1.0, -25.0, 25.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);

        // an opaque white picture: a pixel shows the strip's own alpha
        const std::vector<unsigned char> white(2 * 2 * 3, 255);
        const std::string path = testsupport::writeTemporaryFile("white.tga", testsupport::tgaBytes(2, 2, 24, white));
        strips.setFileName(path.c_str());
        strips.load();
        StripPictureEffect::lastUpdateTime = -1.0f; // as at program start
    }

    void setAll(float alpha)
    {
        for (float& a : strips.stripAlpha)
            a = alpha;
    }

    static int rowOf(float y) { return static_cast<int>((y + 25.0f) * 9.6f); }

    StripPictureEffect strips;
};

} // namespace

TEST_F(StripPicture, FirstDrawStartsTheClockThenTenUpdatesOnceMoreThanTheIntervalHasPassed)
{
    strips.setInterval(0.25f);
    RandomMirror mirror;
    // (scene time, numbers drawn): ten updates draw a strip and a step each
    const std::array<std::pair<float, int>, 5> frames = {{
        {5.0f, 0}, {5.25f, 0}, {5.5f, 20},
        {5.625f, 0}, {5.8125f, 20}, // counted from the last update, not the last draw
    }};
    for (const auto& [t, drawn] : frames) {
        strips.draw(t);
        EXPECT_EQ(mirror.drawnSince(), drawn) << "t " << t;
    }
    EXPECT_EQ(StripPictureEffect::lastUpdateTime, 5.8125f);

    for (int frame = 1; frame <= 5; ++frame) {
        setAll(0.0f); // far from the top: no retries
        strips.draw(6.0f + frame);
        EXPECT_EQ(mirror.drawnSince(), 20) << "frame " << frame;
    }
}

TEST_F(StripPicture, DoneStripsAreFinishedAndRetriedAtMostTwentyTimes)
{
    for (const int mode : {1, 2}) {
        const bool reveal = mode == 1;
        strips.setMode(mode);
        RandomMirror mirror;
        while (mirror.peekStrip(0) == mirror.peekStrip(2))
            mirror.skip();
        const int first = mirror.peekStrip(0);
        const float step = static_cast<float>(0.1 * mirror.peek(1));
        const int second = mirror.peekStrip(2);

        // a strip at 0.97 (reveal) or 0.03 (dissolve) is finished; the next pick moves
        setAll(reveal ? 0.0f : 1.0f);
        strips.stripAlpha[first] = reveal ? 0.97f : 0.03f;
        strips.randomUpdate();
        EXPECT_EQ(mirror.drawnSince(), 3) << "mode " << mode;
        EXPECT_EQ(strips.stripAlpha[first], reveal ? 1.0f : 0.0f) << "mode " << mode;
        EXPECT_FLOAT_EQ(strips.stripAlpha[second], reveal ? step : 1.0f - step) << "mode " << mode;

        // with every strip done, strip, step and twenty retries, and nothing moves
        setAll(reveal ? 1.0f : 0.0f);
        strips.randomUpdate();
        EXPECT_EQ(mirror.drawnSince(), 22) << "mode " << mode;
        for (const float a : strips.stripAlpha)
            ASSERT_EQ(a, reveal ? 1.0f : 0.0f) << "mode " << mode;
    }
}

TEST_F(StripPicture, AlphasStayWithinZeroAndOne)
{
    strips.setInterval(0.001f);
    setAll(0.0f);
    float t = 0.0f;
    for (const int mode : {1, 2}) {
        strips.setMode(mode);
        for (int frame = 0; frame < 300; ++frame) {
            strips.draw(t += 0.01f);
            for (const float a : strips.stripAlpha) {
                ASSERT_GE(a, 0.0f);
                ASSERT_LE(a, 1.0f);
            }
        }
        int done = 0;
        for (const float a : strips.stripAlpha)
            done += a == (mode == 1 ? 1.0f : 0.0f);
        EXPECT_GT(done, 64) << "mode " << mode;
    }
}

TEST_F(StripPicture, LargestRandomNumberPicksTheLastStrip)
{
    RandomMirror mirror;
    int skipped = 0;
    for (; mirror.peek(0) != 32767 * static_cast<double>(1.0f / 32767.0f) && skipped < 4000000; ++skipped)
        mirror.skip();
    ASSERT_LT(skipped, 4000000);
    const float step = static_cast<float>(0.1 * mirror.peek(1));
    strips.randomUpdate();
    EXPECT_FLOAT_EQ(strips.stripAlpha[127], step);
    for (int i = 0; i < 127; ++i)
        ASSERT_EQ(strips.stripAlpha[i], 0.0f);
}

TEST_F(StripPicture, TransparentStripsStretchAndDrawLeavesBlendingAndTexturingOff)
{
    strips.stripAlpha[0] = 1.0f;  // x -1 .. -63/64: pixels 0..4
    strips.stripAlpha[64] = 0.5f; // x 0 .. 1/64: pixels 320..324
    glEnable(GL_DEPTH_TEST);
    strips.draw(3.0f); // the first draw makes no update

    const std::array<int, 3> white = {255, 255, 255}, black = {0, 0, 0};
    EXPECT_EQ(pixelAt(2, rowOf(0.6f)), white); // alpha 1 spans y -1 .. 1
    EXPECT_EQ(pixelAt(2, rowOf(-0.6f)), white);
    EXPECT_EQ(pixelAt(2, rowOf(1.5f)), black);
    EXPECT_EQ(pixelAt(2, rowOf(-1.5f)), black);
    EXPECT_NEAR(pixelAt(322, rowOf(10.5f))[1], 128, 1); // alpha 0.5 spans y -11 .. 11
    EXPECT_NEAR(pixelAt(322, rowOf(-10.5f))[1], 128, 1);
    EXPECT_EQ(pixelAt(322, rowOf(11.5f)), black);
    EXPECT_EQ(pixelAt(322, rowOf(-11.5f)), black);
    EXPECT_EQ(pixelAt(317, rowOf(0.0f)), black); // strip 63, alpha 0

    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)); // restored with the attributes
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
}

TEST_F(StripPicture, LongFileNameIsCutAtTheBufferWithoutTouchingTheStrips)
{
    setAll(0.25f);
    const std::string fits(255, 'a');
    strips.setFileName(fits.c_str());
    EXPECT_EQ(std::string(strips.fileName), fits);

    const std::string tooLong(400, 'b');
    strips.setFileName(tooLong.c_str());
    EXPECT_EQ(std::string(strips.fileName), tooLong.substr(0, 255));
    for (const float a : strips.stripAlpha)
        ASSERT_EQ(a, 0.25f);
}
