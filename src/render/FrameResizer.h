// Switching the frame to another height while the demo runs: the GL's limits, the
// offscreen frame and the feedback texture made anew, and a frame that follows the size
// of the window it is shown in.
#pragma once

#include "render/FrameSize.h"

#include <string>

// What the current context allows.
FrameLimits queryFrameLimits();

// Draws from now on at height H (width 4H/3): checks H against the GL's limits, makes
// the offscreen frame anew and, once the feedback layer is loaded, its texture (the
// trails restart from black). Needs the context current and a surface on glWindow; call
// it between frames. A height equal to the current one does nothing, so the default 480
// costs no GL call. False with the reason in error; the frame is then as it was.
bool setFrameHeight(int height, std::string& error);

// With the frame following the window (glWindow->setFollowsWindow): draws it at the
// height that fits what the surface shows now. False with the reason in error when that
// height cannot be drawn.
bool fitFrameToWindow(std::string& error);
// The window's size changed: a frame that follows it is drawn anew at the height that
// fits, or, when that height cannot be drawn, stays as it was with a line on stderr.
// Window size changes leave a frame that does not follow the window alone.
void windowResized();
