// Loading: pictures, music, every scene's load, with the loading screen between steps.
#pragma once

// The feedback alpha of the build: 0.65 in vorimel, 0.99 in vorimel_b.
extern const float FEEDBACK_ALPHA;

// The demo's music as its messages name it; read through platform::dataFilePath.
constexpr const char* modulePath = "./data/mordel.it";

// 1 when loading completed, -1 when the audio device could not be opened.
int loadDemo();
// Draws and presents one loading-screen frame; percent 0..100.
void drawLoadingProgress(float percent);
