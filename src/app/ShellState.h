// What the application shell keeps for the whole run: the keys and the window's
// activity as the window procedure records them, and whether loading has happened.
#pragma once

#include "render/Texture.h"

#include <cstdint>

extern unsigned char active;    // 0 while the window is minimised
extern unsigned char keys[256]; // key-down state by virtual-key code
// Key-down events (auto-repeat included) not yet acted on, by virtual-key code: a key
// pressed and released between two frames still counts once.
extern unsigned char keyPresses[256];

extern int32_t loaded;      // 1 once loadDemo has run, whether it succeeded or not
extern int loadResult;      // what loadDemo returned; 0 before it ran
extern Texture logoTexture; // the loading-screen logo

// All of it as at program start.
void resetShellState();
