// What the frame driver keeps from frame to frame (and shares with the loader): the
// timeline and where it stands, the demo's clock, the current scene, the overlay.
#pragma once

#include "music/Timeline.h"
#include "render/Texture.h"

#include <cstdint>

class Effect;

extern Timeline timeline;     // filled at static initialisation
extern int32_t timelineCount; // scene entries; the entry at this position is the end
extern int32_t timelineIndex; // entry whose scene is current

extern float startTick;      // tick at the start of loading, milliseconds
extern float demoTime;       // seconds since startTick
extern float sceneStartTime; // demoTime when the current scene was entered
extern Effect* currentScene;
extern Texture overlayTexture; // laid over every frame

// All of it as at program start, the timeline filled anew from the registry.
void resetTimelineState();
