// One call per state file; a state file added gets its reset and its line here.
#include "app/DemoState.h"

#include "app/Instances.h"
#include "app/MainLoop.h"
#include "app/ShellState.h"
#include "music/MusicPlayer.h"
#include "music/TimelineState.h"
#include "render/FeedbackLayer.h"
#include "render/GLWindow.h"
#include "scenes/SceneState.h"

void resetDemoState()
{
    resetShellState();
    resetMainLoop();
    resetMusicPlayer();
    resetSceneState();
    FeedbackLayer::resetShared();
    glWindow->reset();
    // the instances before the timeline, which copies their pointers
    recreateInstances();
    resetTimelineState();
}
