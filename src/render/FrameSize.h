// The frame's size: 4H/3 x H pixels, H = 480 as the demo was drawn or larger, drawn
// natively. Only what is in pixels follows H (viewports, 2D boxes, the feedback copy and
// its texture, point sizes and line widths); every GL unit stays as it is.
#pragma once

#include <string>

constexpr int baseFrameHeight = 480;

// What the GL allows, read from the current context.
struct FrameLimits {
    int maxTextureSize = 0;
    int maxViewportWidth = 0;
    int maxViewportHeight = 0;
    int maxRenderbufferSize = 0;
    float maxPointSize = 0.0f; // aliased: the demo draws without smoothing
    float maxLineWidth = 0.0f;
};

FrameLimits queryFrameLimits();

// The smallest power of two of at least `pixels`: the feedback texture's side.
int textureSizeFor(int pixels);
// The largest height the limits allow (a multiple of 6; below 480 if none fits).
int largestFrameHeight(const FrameLimits& limits);
// Empty when `height` can be drawn, else the reason, naming the limit it breaks.
std::string frameHeightProblem(int height, const FrameLimits& limits);
// The largest allowed height whose frame fits in an area of the given size (a desktop or
// a window), never below 480: a smaller area shows the 480 frame scaled down.
int frameHeightFitting(int areaWidth, int areaHeight, const FrameLimits& limits);

// Draws from now on at height H (width 4H/3): checks H against the GL's limits, makes
// the offscreen frame anew and, once the feedback layer is loaded, its texture (the
// trails restart from black). Needs the context current and a surface on glWindow; call
// it between frames. A height equal to the current one does nothing, so the default 480
// costs no GL call. False with the reason in error; the frame is then as it was.
bool setFrameHeight(int height, std::string& error);
