// Loading: pictures, music, every scene's load, with the loading screen between steps.
#pragma once

#include "render/Texture.h"

#include <cstdint>

// The feedback alpha of the build: 0.65 in vorimel, 0.99 in vorimel_b.
extern const float FEEDBACK_ALPHA;

// The demo's music, relative to the working directory.
constexpr const char* modulePath = "./data/mordel.it";

extern int32_t loaded;      // 1 once loadDemo has run, whether it succeeded or not
extern Texture logoTexture; // the loading-screen logo

// 1 when loading completed, -1 when the audio device could not be opened.
int loadDemo();
// Draws and presents one loading-screen frame; percent 0..100.
void drawLoadingProgress(float percent);
