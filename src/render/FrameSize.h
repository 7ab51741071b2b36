// The frame's size: 4H/3 x H pixels, H = 480 as the demo was drawn or larger, drawn
// natively. Only what is in pixels follows H (viewports, 2D boxes, the feedback copy and
// its texture, point sizes and line widths); every GL unit stays as it is. The one home
// of the height rule and of the standard frame's size; arithmetic only (the GL's side is
// FrameResizer).
#pragma once

#include <string>

constexpr int baseFrameWidth = 640;
constexpr int baseFrameHeight = 480;

// What the GL allows, as read from a context.
struct FrameLimits {
    int maxTextureSize = 0;
    int maxViewportWidth = 0;
    int maxViewportHeight = 0;
    int maxRenderbufferSize = 0;
    float maxPointSize = 0.0f; // aliased: the demo draws without smoothing
    float maxLineWidth = 0.0f;
};

// The rule every --height follows (the programs', the capture's, the page's ?height=),
// as the options name it: "a multiple of 6 from 480 up".
std::string frameHeightRule();
// A height asked for on a command line: a whole number that keeps the rule and nothing
// else in the text. The GL's own limits are checked once there is a context.
bool parseFrameHeight(const std::string& text, int& height);

// 4H/3, whole for every height that keeps the rule.
int frameWidthFor(int height);
// The smallest power of two of at least `pixels`: the feedback texture's side.
int textureSizeFor(int pixels);
// The largest height the limits allow (a multiple of 6; below 480 if none fits).
int largestFrameHeight(const FrameLimits& limits);
// Empty when `height` can be drawn, else the reason, naming the limit it breaks.
std::string frameHeightProblem(int height, const FrameLimits& limits);
// The largest allowed height whose frame fits in an area of the given size (a desktop or
// a window), never below 480: a smaller area shows the 480 frame scaled down.
int frameHeightFitting(int areaWidth, int areaHeight, const FrameLimits& limits);
