// The frame driver's state as at program start; the timeline itself is filled once the
// registry exists.
#include "music/TimelineState.h"

Timeline timeline {};
int32_t timelineCount = timelineSceneCount();
int32_t timelineIndex = 0;

float startTick = 0.0f;
float demoTime = 0.0f;
float sceneStartTime = 0.0f;
Effect* currentScene = nullptr;
Texture overlayTexture;

void resetTimelineState()
{
    timeline = fillTimeline();
    timelineCount = timelineSceneCount();
    timelineIndex = 0;
    startTick = 0.0f;
    demoTime = 0.0f;
    sceneStartTime = 0.0f;
    currentScene = nullptr;
    overlayTexture = Texture {};
}
