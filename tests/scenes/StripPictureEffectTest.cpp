// The strip picture's random updates, counted against the program's random sequence,
// and its file name.
#include "scenes/StripPictureEffect.h"
#include "render/RandomUnit.h"
#include "support/GLTestContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>

namespace {

// Counts the numbers drawn from the program's random sequence since it last looked. Five
// draws pin down the generator's state; its top bit never reaches the output.
class RandomCounter {
public:
    RandomCounter()
    {
        const uint32_t high = static_cast<uint32_t>(drawOne()) << 16;
        const Draws seen = draw();
        int found = 0;
        for (uint32_t low = 0; low < 0x10000; ++low)
            found += comesNext(high | low, seen);
        EXPECT_EQ(found, 1) << "not the program's random sequence";
    }

    int drawnSince()
    {
        const Draws seen = draw();
        uint32_t s = state;
        for (int k = 0; k < 100000; ++k, s = next(s))
            if (comesNext(s, seen))
                return k;
        ADD_FAILURE() << "lost the random sequence";
        return -1;
    }

private:
    using Draws = std::array<int, 4>;
    static constexpr double unit = static_cast<double>(1.0f / 32767.0f);
    static uint32_t next(uint32_t s) { return s * 214013u + 2531011u; }
    static int output(uint32_t s) { return static_cast<int>((s >> 16) & 0x7FFF); }
    static int drawOne() { return static_cast<int>(std::lround(randomUnit() / unit)); }
    static Draws draw() { return { drawOne(), drawOne(), drawOne(), drawOne() }; }

    // True when `seen` comes next after state s; the counter then stands after it.
    bool comesNext(uint32_t s, const Draws& seen)
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
        strips.setMode(1);
    }

    StripPictureEffect strips; // no picture: GL's default texture
};

} // namespace

TEST_F(StripPicture, FirstDrawStartsTheClockThenTenUpdatesOnceMoreThanTheIntervalHasPassed)
{
    strips.setInterval(0.25f);
    RandomCounter counter;
    // (scene time, numbers drawn): an update far from the top draws a strip and a step;
    // 5.8125 counts from the last update, not the last draw
    const std::pair<float, int> frames[] = { { 5.0f, 0 }, { 5.25f, 0 }, { 5.5f, 20 }, { 5.625f, 0 },
        { 5.8125f, 20 }, { 7.0f, 20 }, { 8.0f, 20 }, { 9.0f, 20 } };
    for (const auto& [t, drawn] : frames) {
        std::fill(std::begin(strips.stripAlpha), std::end(strips.stripAlpha), 0.0f);
        strips.draw(t);
        EXPECT_EQ(counter.drawnSince(), drawn) << "t " << t;
    }
}

TEST_F(StripPicture, AlphasStayWithinZeroAndOneWhileRevealingAndDissolving)
{
    strips.setInterval(0.001f);
    float t = 0.0f;
    for (const int mode : { 1, 2 }) {
        strips.setMode(mode);
        int done = 0;
        for (int frame = 0; frame < 300; ++frame) {
            strips.draw(t += 0.01f);
            done = 0;
            for (const float a : strips.stripAlpha) {
                ASSERT_GE(a, 0.0f);
                ASSERT_LE(a, 1.0f);
                done += a == (mode == 1 ? 1.0f : 0.0f);
            }
        }
        EXPECT_GT(done, 64) << "mode " << mode;
    }
}

TEST(StripPictureFileName, LongNameIsCutAtTheBufferWithoutTouchingTheStrips)
{
    StripPictureEffect strips;
    std::fill(std::begin(strips.stripAlpha), std::end(strips.stripAlpha), 0.25f);
    const std::string tooLong(400, 'b');
    strips.setFileName(tooLong.c_str());
    EXPECT_EQ(std::string(strips.fileName), tooLong.substr(0, 255));
    for (const float a : strips.stripAlpha)
        ASSERT_EQ(a, 0.25f);
}
