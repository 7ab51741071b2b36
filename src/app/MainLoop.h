// The message loop: window events first, then loading once, then one frame per pass.
#pragma once

#include <cstdint>

namespace platform {
struct WindowEvent;
}

extern unsigned char active;    // 0 while the window is minimised
extern unsigned char keys[256]; // key-down state by virtual-key code
// Key-down events (auto-repeat included) not yet acted on, by virtual-key code: a key
// pressed and released between two frames still counts once.
extern unsigned char keyPresses[256];
extern int loadResult;          // what loadDemo returned; 0 before it ran

constexpr int escapeKey = 27;
constexpr int spaceKey = 32;

// Turns a window event into the key and activity flags.
void windowProc(const platform::WindowEvent& event);

// One iteration of the loop; false when the loop must end.
bool mainLoopPass();
void runMainLoop();
