// The main loop's passes: events, keys, activity, Escape and Space, presenting.
#include "app/MainLoop.h"
#include "app/Loader.h"
#include "app/ShellState.h"
#include "music/MusicPlayer.h"
#include "music/TimelineState.h"
#include "support/GLTestContext.h"
#include "support/RecordingScene.h"
#include "support/ScriptedBackend.h"
#include "support/TestSurface.h"

#include <gtest/gtest.h>

using platform::WindowEvent;
using Type = platform::WindowEvent::Type;

namespace {

WindowEvent key(Type type, int code)
{
    WindowEvent event { type };
    event.key = code;
    return event;
}

class MainLoop : public testsupport::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        surface().events.clear();
        loaded = 1;
        timeline[0].scene = &scene;
        currentScene = &scene;
        musicPlayer.setBackend(&backend);
        musicPlayer.playing = 1;
        musicPlayer.positionScaler = 12;
    }

    static testsupport::TestSurface& surface() { return testsupport::testSurface(); }
    int draws() const
    {
        return static_cast<int>(std::count_if(
            log.begin(), log.end(), [](const std::string& s) { return s.rfind("S.draw", 0) == 0; }));
    }

    std::vector<std::string> log;
    testsupport::RecordingScene scene { "S", log };
    testsupport::ScriptedBackend backend;
};

} // namespace

TEST_F(MainLoop, EventsSetKeysAndActivityBeforeAnyDrawing)
{
    surface().events = { key(Type::keyDown, 'A'), key(Type::keyDown, 'A'), key(Type::keyUp, 'B'),
        WindowEvent { Type::minimised } };
    const int presents = surface().presents;
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(mainLoopPass());
    EXPECT_EQ(keys['A'], 1);
    EXPECT_EQ(keys['B'], 0);
    EXPECT_EQ(active, 0);
    EXPECT_EQ(draws(), 0);
    EXPECT_EQ(surface().presents, presents);

    keys['B'] = 1;
    surface().events = { key(Type::keyUp, 'B'), WindowEvent { Type::activated } };
    mainLoopPass();
    mainLoopPass();
    EXPECT_EQ(keys['B'], 0);
    EXPECT_EQ(active, 1);
}

TEST_F(MainLoop, QuitEndsBeforeDrawingAndEscapeRightAfterTheFrameWithoutPresentingIt)
{
    surface().events = { WindowEvent { Type::quit } };
    EXPECT_FALSE(mainLoopPass());
    EXPECT_EQ(draws(), 0);

    keys[escapeKey] = 1;
    const int presents = surface().presents;
    EXPECT_FALSE(mainLoopPass());
    EXPECT_EQ(draws(), 1);
    EXPECT_EQ(surface().presents, presents);
}

TEST_F(MainLoop, SpaceJumpsToTheNextOrderOnceAndPresents)
{
    backend.setOrderRow(3, 17);
    keys[spaceKey] = 1;
    const int presents = surface().presents;
    EXPECT_TRUE(mainLoopPass());
    ASSERT_EQ(backend.positionsSet.size(), 1u);
    EXPECT_EQ(backend.positionsSet[0], 4u); // order 4, row 0
    EXPECT_EQ(keys[spaceKey], 0);
    EXPECT_EQ(surface().presents, presents + 1);
    EXPECT_TRUE(mainLoopPass());
    EXPECT_EQ(backend.positionsSet.size(), 1u);
}

TEST_F(MainLoop, TapsReleasedBeforeTheNextFrameStillActOncePerPressAndFrame)
{
    backend.seeksShowAtOnce = true;
    backend.setOrderRow(0, 17); // the skips stay short of the first switch, at order 5
    surface().events
        = { key(Type::keyDown, spaceKey), key(Type::keyUp, spaceKey), key(Type::keyDown, spaceKey),
              key(Type::keyUp, spaceKey), key(Type::keyDown, spaceKey), key(Type::keyUp, spaceKey) };
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(mainLoopPass());
    EXPECT_EQ(keys[spaceKey], 0);
    for (int frame = 0; frame < 4; ++frame)
        EXPECT_TRUE(mainLoopPass());
    EXPECT_EQ(backend.positionsSet, (std::vector<uint64_t> { 1, 2, 3 })); // row 0 of orders 1, 2, 3
    EXPECT_EQ(draws(), 4);

    surface().events = { key(Type::keyDown, escapeKey), key(Type::keyUp, escapeKey) };
    EXPECT_TRUE(mainLoopPass());
    EXPECT_TRUE(mainLoopPass());
    const int presents = surface().presents;
    EXPECT_FALSE(mainLoopPass());
    EXPECT_EQ(draws(), 5);
    EXPECT_EQ(surface().presents, presents);
}

TEST_F(MainLoop, MinimisedWindowDrawsNothingButStillPresentsAndSkips)
{
    active = 0;
    keys[spaceKey] = 1;
    const int presents = surface().presents;
    EXPECT_TRUE(mainLoopPass());
    EXPECT_EQ(draws(), 0);
    EXPECT_EQ(backend.positionsSet.size(), 1u);
    EXPECT_EQ(surface().presents, presents + 1);
}
