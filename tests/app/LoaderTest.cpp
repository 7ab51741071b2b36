// The loader's order, pauses and results, and the loading screen read back.
#include "app/Loader.h"
#include "app/ShellState.h"
#include "music/MusicPlayer.h"
#include "music/TimelineState.h"
#include "render/FeedbackLayer.h"
#include "render/SceneRegistry.h"
#include "scenes/ColorFillEffect.h"
#include "support/GLTestContext.h"
#include "support/ManualClock.h"
#include "support/ScriptedBackend.h"
#include "support/TestSurface.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>

using testsupport::pixelAt;

namespace {

class Loading : public testsupport::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        musicPlayer.setBackend(&backend);
        platform::setClock(&clock);
        clock.now = 250;
        presentsBefore = testsupport::testSurface().presents;
    }
    void TearDown() override { platform::setClock(nullptr); }

    int presents() const { return testsupport::testSurface().presents - presentsBefore; }

    testsupport::ScriptedBackend backend;
    testsupport::ManualClock clock;
    int presentsBefore = 0;
};

// Teal of the loading screen: (0.05, 0.55, 0.55).
void expectPixelNear(std::array<int, 3> actual, std::array<int, 3> expected)
{
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(actual[c], expected[c], 2) << "channel " << c;
}

} // namespace

TEST_F(Loading, RunsEveryStepWithItsProgressFramesAndPauses)
{
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(loadDemo(), 1);
    const std::string out = ::testing::internal::GetCapturedStdout();

    EXPECT_EQ(loaded, 1);
    // The twelve pictures in load order: loader, then the scenes in registry order.
    std::string expected;
    for (const char* name : { "vorimel", "diagonales", "cosa00d", "cosa00d2", "cosa00e01", "cosa01b",
             "cosa02b", "cosa03", "flare2", "cosa03c", "cosa04d1", "cosa05b1" })
        expected += std::string("Loading texture ./data/") + name + ".tga-> ok\n";
    EXPECT_EQ(out, expected);
    EXPECT_EQ(presents(), 13); // 0 10 15 20 30 49 50 52 56 58 60 64 100
    EXPECT_EQ(clock.slept, 13u * 10u + 1000u);
    EXPECT_EQ(startTick, 260.0f); // after the first progress frame's 10 ms
    EXPECT_EQ(sceneStartTime, 0.0f);
    EXPECT_EQ(backend.calls,
        (std::vector<std::string> {
            "openDevice 44100", "setVolume 100", "loadModule ./data/mordel.it", "play 7" }));
    EXPECT_FLOAT_EQ(FeedbackLayer::color[3], FEEDBACK_ALPHA);
    EXPECT_FLOAT_EQ(FeedbackLayer::color[0], 1.0f);
    EXPECT_EQ(feedbackLayer->textureWidth, 1024);
    EXPECT_EQ(currentScene, timeline[0].scene);
}

TEST_F(Loading, StopsAfterTheOverlayWhenThereIsNoAudioDevice)
{
    backend.deviceAvailable = false;
    const int widthBefore = feedbackLayer->textureWidth;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(loadDemo(), -1);
    ::testing::internal::GetCapturedStdout();

    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(presents(), 4); // 0 10 15 20
    EXPECT_EQ(backend.calls, (std::vector<std::string> { "openDevice 44100" }));
    EXPECT_EQ(feedbackLayer->textureWidth, widthBefore);
}

TEST_F(Loading, ScreenAtZeroShowsAnEmptyBarAndNoLogo)
{
    const unsigned char white[4] = { 255, 255, 255, 255 };
    glGenTextures(1, &logoTexture.glName);
    glBindTexture(GL_TEXTURE_2D, logoTexture.glName);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    drawLoadingProgress(0.0f);
    const std::array<int, 3> teal = { 13, 140, 140 };
    expectPixelNear(pixelAt(320, 100), teal);           // inside the bar
    expectPixelNear(pixelAt(320, 300), teal);           // the logo's place
    expectPixelNear(pixelAt(320, 91), { 0, 153, 207 }); // outline, (0, 0.6, 0.81)
    expectPixelNear(pixelAt(320, 110), { 0, 153, 207 });

    // The logo fades in to 0.8 over the teal; the bar fills white from -50 to 50.
    drawLoadingProgress(100.0f);
    expectPixelNear(pixelAt(320, 100), { 255, 255, 255 });
    expectPixelNear(pixelAt(40, 100), { 255, 255, 255 });
    expectPixelNear(pixelAt(320, 300), { 207, 232, 232 });

    // What the loading screen leaves: the base frustum, line width 2, blending off.
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    EXPECT_DOUBLE_EQ(m[0], 1.0);
    EXPECT_DOUBLE_EQ(m[11], -1.0);
    EXPECT_NEAR(m[10], -21.0 / 19.0, 1e-6);
    GLfloat lineWidth = 0;
    glGetFloatv(GL_LINE_WIDTH, &lineWidth);
    EXPECT_EQ(lineWidth, 2.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(testsupport::matrixStackDepth(GL_MODELVIEW_STACK_DEPTH), 1);
    glDeleteTextures(1, &logoTexture.glName);
    logoTexture.glName = 0;
}
