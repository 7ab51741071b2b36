// One line per process-wide value: a value added to a state header gets its line here.
#include "support/DemoState.h"

#include "app/ShellState.h"
#include "music/MusicPlayer.h"
#include "music/TimelineState.h"
#include "scenes/SceneState.h"

#include <algorithm>
#include <iterator>

namespace testsupport {

void resetDemoState()
{
    // the shell
    active = 1;
    std::fill(std::begin(keys), std::end(keys), 0);
    std::fill(std::begin(keyPresses), std::end(keyPresses), 0);
    loaded = 0;
    loadResult = 0;
    logoTexture = Texture {};

    // the music and the frame driver
    musicPlayer = MusicPlayer {};
    timeline = fillTimeline();
    timelineCount = timelineSceneCount();
    timelineIndex = 0;
    startTick = 0.0f;
    demoTime = 0.0f;
    sceneStartTime = 0.0f;
    currentScene = nullptr;
    overlayTexture = Texture {};

    // the scene classes
    spinningSolidsFlash = 0.0f;
    vertexRingFlash = 0.0f;
    flashingLatticeFlash = 0.0f;
    stripUpdateTime = -1.0f;
}

} // namespace testsupport
