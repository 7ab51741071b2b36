// The frame driver: music start, scene switches by exact order, scene time, overlay,
// and the end of the demo when the music ends, over real modules played offline.
#include "music/FrameDriver.h"
#include "music/MusicPlayer.h"
#include "music/TimelineState.h"
#include "platform/audio/openmpt/OfflineAudioBackend.h"
#include "render/Effect.h"
#include "support/GLTestContext.h"
#include "support/ManualClock.h"
#include "support/RecordingScene.h"
#include "support/ScriptedBackend.h"
#include "support/TestFolder.h"
#include "support/TestModule.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

using testing_support::TestModuleLayout;
using testsupport::ManualClock;
using testsupport::RecordingScene;
using testsupport::ScriptedBackend;

namespace {

class FrameDriver : public testsupport::GLTest {
protected:
    const testsupport::TestFolder files; // the modules a test writes
    void SetUp() override
    {
        GLTest::SetUp();
        for (int i = 0; i < 5; ++i)
            scenes.emplace_back(std::string(1, char('A' + i)), log);
        for (int i = 0; i < 5; ++i)
            timeline[i].scene = &scenes[i];
        currentScene = &scenes[0];

        musicPlayer.setBackend(&backend);
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
        const unsigned char white[4] = { 255, 255, 255, 255 };
        glGenTextures(1, &overlayTexture.glName);
        glBindTexture(GL_TEXTURE_2D, overlayTexture.glName);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    }

    void TearDown() override
    {
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

    // Plays a module through the music player over the offline backend, one frame of
    // the given rate after another, as the capture does, until drawFrame says the demo
    // has ended (or 1000 frames). Returns the frames drawn; the scenes' calls are in log.
    int playUntilTheEnd(const std::string& modulePath, int fps)
    {
        musicPlayer.setBackend(&offline);
        EXPECT_EQ(musicPlayer.init(), 0);
        musicPlayer.musicHandle = 0;
        musicPlayer.loadModule(modulePath.c_str());
        musicPlayer.playing = 0;
        std::vector<float> samples;
        for (int frame = 0; frame < 1000; ++frame) {
            if (drawFrame() < 0)
                return frame;
            // frame n starts at sample floor(n * 44100 / fps)
            const size_t count
                = static_cast<size_t>((uint64_t(frame) + 1) * 44100 / fps - uint64_t(frame) * 44100 / fps);
            samples.resize(2 * count);
            offline.takeFrames(samples.data(), count);
            clock.now += 1000 / fps;
        }
        return -1;
    }

    // The scenes in the order they were drawn, one letter each: "ABC".
    std::string scenesDrawn() const
    {
        std::string drawn;
        for (const std::string& entry : log)
            if (entry.find(".draw ") == 1 && (drawn.empty() || drawn.back() != entry[0]))
                drawn += entry[0];
        return drawn;
    }

    std::vector<std::string> log;
    std::deque<RecordingScene> scenes;
    ScriptedBackend backend;
    platform::OfflineAudioBackend offline;
    ManualClock clock;
};

} // namespace

TEST_F(FrameDriver, FirstFrameStartsTheMusicOnceAndDrawsWithTheTimeSinceLoading)
{
    clock.now = 4980; // frameAt adds 20: demo time (5000 - 1000) ms
    ASSERT_EQ(frameAt(0, 3), 1);
    EXPECT_EQ(backend.calls,
        (std::vector<std::string> { "startOutput", "setPositionScaler 7 12", "playFrom 7 0 reset", "play 7",
            "setPosition 7", "update", "position 7", "ended 7" }));
    ASSERT_EQ(backend.positionsSet.size(), 1u);
    EXPECT_EQ(backend.positionsSet[0], 0u);
    EXPECT_FLOAT_EQ(demoTime, 4.0f);
    EXPECT_EQ(log, (std::vector<std::string> { "A.draw 3.500000 at 0/3" }));

    backend.calls.clear();
    ASSERT_EQ(frameAt(0, 4), 1);
    EXPECT_EQ(backend.calls, (std::vector<std::string> { "update", "position 7", "ended 7" }));
}

TEST_F(FrameDriver, SwitchesOnTheExactOrderAndDrawsTheNewSceneFromZero)
{
    frameAt(0);
    frameAt(4, 31);
    log.clear();
    ASSERT_EQ(frameAt(5), 1);
    EXPECT_EQ(log, (std::vector<std::string> { "A.leave", "B.enter", "B.draw 0.000000 at 5/0" }));
    EXPECT_EQ(sceneStartTime, demoTime);
    EXPECT_EQ(currentScene, &scenes[1]);

    log.clear();
    frameAt(5, 1);
    EXPECT_EQ(log, (std::vector<std::string> { "B.draw 0.020000 at 5/1" }));
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
    EXPECT_EQ(testsupport::pixelAt(320, 240), (std::array<int, 3> { 255, 255, 255 }))
        << "overlay on a drawn frame";

    log.clear();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(frameAt(14), -1);
    EXPECT_EQ(log, (std::vector<std::string> { "E.leave" }));
    EXPECT_EQ(testsupport::pixelAt(320, 240), (std::array<int, 3> { 0, 0, 0 }))
        << "no overlay on the last frame";
}

TEST_F(FrameDriver, NoCurrentSceneEndsAfterStartingTheMusic)
{
    currentScene = nullptr;
    EXPECT_EQ(frameAt(0), -1);
    EXPECT_EQ(backend.calls.front(), "startOutput");
    EXPECT_EQ(backend.calls.back(), "ended 7");
    EXPECT_TRUE(log.empty());
}

TEST_F(FrameDriver, TheDemoEndsOnTheFirstFrameAfterTheMusicWhereverTheTimelineStands)
{
    // rows of 441 samples (speed 1, tempo 250): at 100 fps a frame is a row, and at
    // 60 fps (735 samples) the music's end falls inside a frame
    const struct {
        const char* what;
        TestModuleLayout layout;
        int rowsHeard;
        const char* scenes;
    } cases[] = {
        // clang-format off
        {"8 orders",               {8, 4, 1, 250, true},         32, "ABC"},
        {"12 orders",              {12, 4, 1, 250, true},        48, "ABCDE"},
        {"skip marker at order 5", {15, 4, 1, 250, true, 5, -1}, 56, "A"},
        {"end marker at order 6",  {15, 4, 1, 250, true, -1, 6}, 24, "AB"},
        // clang-format on
    };
    for (const auto& c : cases) {
        const std::string path = files.write("ends.it", testing_support::makeTestModule(c.layout));
        for (const int fps : { 100, 60 }) {
            SCOPED_TRACE(std::string(c.what) + " at " + std::to_string(fps) + " fps");
            log.clear();
            timelineIndex = 0;
            currentScene = &scenes[0];
            const int frames = playUntilTheEnd(path, fps);
            // every frame that starts before the last sample of the music is drawn
            const int samplesHeard = c.rowsHeard * 441;
            EXPECT_EQ(frames, (samplesHeard * fps + 44099) / 44100);
            EXPECT_EQ(scenesDrawn(), c.scenes);
            ASSERT_FALSE(log.empty());
            EXPECT_EQ(log.back(), std::string(1, c.scenes[std::strlen(c.scenes) - 1]) + ".leave");
            EXPECT_TRUE(musicPlayer.ended());
        }
    }
}

TEST_F(FrameDriver, TheTimelineStillEndsAtOrder14BeforeALongerModuleEnds)
{
    const std::string path = files.write("long.it", testing_support::makeTestModule({ 16, 4, 1, 250, true }));
    EXPECT_EQ(playUntilTheEnd(path, 100), 14 * 4); // one row a frame
    EXPECT_EQ(scenesDrawn(), "ABCDE");
    EXPECT_EQ(log.back(), "E.leave");
    EXPECT_FALSE(musicPlayer.ended());
}

TEST_F(FrameDriver, NoPlayableModuleEndsTheDemoOnItsFirstFrame)
{
    const std::string notAModule = files.write("garbage.it", { 'n', 'o', 't', ' ', 'I', 'T' });
    for (const std::string& path : { std::string("/nonexistent/mordel.it"), notAModule }) {
        log.clear();
        currentScene = &scenes[0];
        EXPECT_EQ(playUntilTheEnd(path, 60), 0) << path;
        EXPECT_EQ(musicPlayer.musicHandle, 0u);
        EXPECT_EQ(log, (std::vector<std::string> { "A.leave" })) << path;
    }
}
