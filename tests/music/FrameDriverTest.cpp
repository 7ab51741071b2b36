// The frame driver: music start, scene switches by exact order, scene time, overlay.
#include "music/MusicPlayer.h"
#include "music/Timeline.h"
#include "render/Effect.h"
#include "support/GLTestContext.h"
#include "support/RecordingScene.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

using testsupport::ManualClock;
using testsupport::RecordingScene;
using testsupport::ScriptedBackend;

namespace {

class FrameDriver : public testsupport::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        savedTimeline = timeline;
        for (int i = 0; i < 5; ++i)
            scenes.emplace_back(std::string(1, char('A' + i)), log);
        for (int i = 0; i < 5; ++i)
            timeline[i].scene = &scenes[i];
        timelineIndex = 0;
        currentScene = &scenes[0];

        musicPlayer.setBackend(&backend);
        musicPlayer.playing = 0;
        musicPlayer.positionScaler = 12;
        musicPlayer.musicHandle = 7;
        platform::setClock(&clock);
        startTick = 1000.0f;
        sceneStartTime = 0.5f;
        clock.now = 5000;

        // The base projection the loading screen leaves, and a white overlay picture.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-1.0, 1.0, -1.0, 1.0, 1.0, 20.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        const unsigned char white[4] = {255, 255, 255, 255};
        glGenTextures(1, &overlayTexture.glName);
        glBindTexture(GL_TEXTURE_2D, overlayTexture.glName);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    }

    void TearDown() override
    {
        timeline = savedTimeline;
        timelineIndex = 0;
        currentScene = nullptr;
        platform::setClock(nullptr);
        glDeleteTextures(1, &overlayTexture.glName);
        overlayTexture.glName = 0;
    }

    int frameAt(int order, int row = 0)
    {
        backend.setOrderRow(order, row);
        clock.now += 20;
        return drawFrame();
    }

    Timeline savedTimeline;
    std::vector<std::string> log;
    std::deque<RecordingScene> scenes;
    ScriptedBackend backend;
    ManualClock clock;
};

} // namespace

TEST_F(FrameDriver, FirstFrameStartsTheMusicOnceAndDrawsWithTheTimeSinceLoading)
{
    clock.now = 4980; // frameAt adds 20: demo time (5000 - 1000) ms
    ASSERT_EQ(frameAt(0, 3), 1);
    EXPECT_EQ(backend.calls,
              (std::vector<std::string>{"startOutput", "setPositionScaler 7 12", "playFrom 7 0 reset", "play 7",
                                        "setPosition 7", "update", "position 7"}));
    ASSERT_EQ(backend.positionsSet.size(), 1u);
    EXPECT_EQ(backend.positionsSet[0], 0u);
    EXPECT_FLOAT_EQ(demoTime, 4.0f);
    EXPECT_EQ(log, (std::vector<std::string>{"A.draw 3.500000 at 0/3"}));

    backend.calls.clear();
    ASSERT_EQ(frameAt(0, 4), 1);
    EXPECT_EQ(backend.calls, (std::vector<std::string>{"update", "position 7"}));
}

TEST_F(FrameDriver, SwitchesOnTheExactOrderAndDrawsTheNewSceneFromZero)
{
    frameAt(0);
    frameAt(4, 31);
    log.clear();
    ASSERT_EQ(frameAt(5), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"A.leave", "B.enter", "B.draw 0.000000 at 5/0"}));
    EXPECT_EQ(sceneStartTime, demoTime);
    EXPECT_EQ(currentScene, &scenes[1]);

    log.clear();
    frameAt(5, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"B.draw 0.020000 at 5/1"}));
}

TEST_F(FrameDriver, ASkippedSwitchPointNeverSwitches)
{
    frameAt(4);
    frameAt(6);
    frameAt(7);
    frameAt(9);
    EXPECT_EQ(timelineIndex, 0);
    for (const std::string& entry : log)
        EXPECT_EQ(entry.substr(0, 7), "A.draw ");
}

TEST_F(FrameDriver, TheEndOrderLeavesTheLastSceneAndDrawsNothingMore)
{
    timelineIndex = 4;
    currentScene = &scenes[4];
    ASSERT_EQ(frameAt(13), 1);
    EXPECT_EQ(testsupport::pixelAt(320, 240), (std::array<int, 3>{255, 255, 255})) << "overlay on a drawn frame";

    log.clear();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(frameAt(14), -1);
    EXPECT_EQ(log, (std::vector<std::string>{"E.leave"}));
    EXPECT_EQ(testsupport::pixelAt(320, 240), (std::array<int, 3>{0, 0, 0})) << "no overlay on the last frame";
}

TEST_F(FrameDriver, NoCurrentSceneEndsAfterStartingTheMusic)
{
    currentScene = nullptr;
    EXPECT_EQ(frameAt(0), -1);
    EXPECT_EQ(backend.calls.front(), "startOutput");
    EXPECT_EQ(backend.calls.back(), "position 7");
    EXPECT_TRUE(log.empty());
}
