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
// The iterations up to and including the next frame (every pending event first, and
// the loading if it has not run), for a host that calls the program once per display
// refresh; false when the loop must end.
bool mainLoopFrame();
void runMainLoop();

// What the loop keeps from frame to frame (the time from reading the music to showing
// the frame) as at program start.
void resetMainLoop();
