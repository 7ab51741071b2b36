// The message loop: window events first, then loading once, then one frame per pass.
#pragma once

#include <cstdint>

namespace platform {
struct WindowEvent;
}

constexpr int escapeKey = 27;
constexpr int spaceKey = 32;

// Turns a window event into the key and activity flags.
void windowProc(const platform::WindowEvent& event);

// One iteration of the loop; false when the loop must end.
bool mainLoopPass();
void runMainLoop();
