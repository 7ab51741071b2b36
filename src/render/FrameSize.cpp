// Frame height checks and the switch to a new size.
#include "render/FrameSize.h"

#include "platform/GLSurface.h"
#include "render/FeedbackLayer.h"
#include "render/GLWindow.h"
#include "render/SceneRegistry.h"

#include "platform/GL.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace {

// The largest sizes the demo asks for at 480: the solids' points and the loading bar's
// outline. Both are multiplied by H/480.
constexpr float largestPointSize = 10.0f;
constexpr float largestLineWidth = 2.0f;

long long widthFor(long long height)
{
    return height / 3 * 4;
}

int powerOfTwoAtMost(int limit)
{
    int size = 1;
    while (size <= limit / 2)
        size *= 2;
    return size;
}

} // namespace

FrameLimits queryFrameLimits()
{
    FrameLimits limits;
    GLint viewport[2] = {};
    GLfloat range[2] = {};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limits.maxTextureSize);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    limits.maxViewportWidth = viewport[0];
    limits.maxViewportHeight = viewport[1];
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &limits.maxRenderbufferSize);
    glGetFloatv(GL_ALIASED_POINT_SIZE_RANGE, range);
    limits.maxPointSize = range[1];
    glGetFloatv(GL_ALIASED_LINE_WIDTH_RANGE, range);
    limits.maxLineWidth = range[1];
    return limits;
}

int textureSizeFor(int pixels)
{
    long long size = 1;
    while (size < pixels)
        size *= 2;
    return static_cast<int>(size);
}

std::string frameHeightProblem(int height, const FrameLimits& limits)
{
    const std::string h = std::to_string(height);
    if (height < baseFrameHeight || height % 6 != 0)
        return "the frame height is a multiple of 6 from 480 up, not " + h;
    const int largest = largestFrameHeight(limits);
    if (height <= largest)
        return {};

    // name the first limit the height breaks
    const long long width = widthFor(height);
    const std::string size = std::to_string(width) + "x" + h;
    const std::string most = " (the largest height here is " + std::to_string(largest) + ")";
    const double scale = static_cast<double>(height) / baseFrameHeight;
    if (width > powerOfTwoAtMost(limits.maxTextureSize))
        return "a " + size + " frame needs a feedback texture wider than the GL's largest, "
            + std::to_string(limits.maxTextureSize) + most;
    if (width > limits.maxViewportWidth || height > limits.maxViewportHeight)
        return "a " + size + " frame is larger than the GL's largest viewport, "
            + std::to_string(limits.maxViewportWidth) + "x" + std::to_string(limits.maxViewportHeight) + most;
    if (width > limits.maxRenderbufferSize)
        return "a " + size + " frame is wider than the GL's largest renderbuffer, "
            + std::to_string(limits.maxRenderbufferSize) + most;
    if (std::round(largestLineWidth * scale) <= limits.maxLineWidth)
        return "at height " + h + " the largest points are "
            + std::to_string(std::llround(largestPointSize * scale)) + " pixels; the GL draws at most "
            + std::to_string(std::lround(limits.maxPointSize)) + most;
    return "at height " + h + " the widest lines are "
        + std::to_string(std::llround(largestLineWidth * scale)) + " pixels; the GL draws at most "
        + std::to_string(std::lround(limits.maxLineWidth)) + most;
}

int largestFrameHeight(const FrameLimits& limits)
{
    int height = 0;
    // each limit as a height, rounded down to a multiple of 6
    const auto keep = [&height](long long limit) {
        const int h = static_cast<int>(std::min<long long>(limit, 1 << 30)) / 6 * 6;
        height = height == 0 ? h : std::min(height, h);
    };
    keep(powerOfTwoAtMost(limits.maxTextureSize) * 3LL / 4);
    keep(limits.maxViewportWidth * 3LL / 4);
    keep(limits.maxViewportHeight);
    keep(limits.maxRenderbufferSize * 3LL / 4);
    // the largest height whose rounded sizes still fit: round(size * H / 480) <= max
    keep(static_cast<long long>(
        std::floor((std::floor(limits.maxPointSize) + 0.5) * baseFrameHeight / largestPointSize - 1e-9)));
    keep(static_cast<long long>(
        std::floor((std::floor(limits.maxLineWidth) + 0.5) * baseFrameHeight / largestLineWidth - 1e-9)));
    return height;
}

int frameHeightFitting(int areaWidth, int areaHeight, const FrameLimits& limits)
{
    const int fitting = std::min(areaHeight, areaWidth / 4 * 3) / 6 * 6;
    return std::max(baseFrameHeight, std::min(fitting, largestFrameHeight(limits)));
}

bool setFrameHeight(int height, std::string& error)
{
    platform::GLSurface* surface = glWindow->surface();
    assert(surface && "setFrameHeight needs the window or a headless surface");
    if (height == glWindow->height())
        return true;
    const FrameLimits limits = queryFrameLimits();
    error = frameHeightProblem(height, limits);
    if (!error.empty())
        return false;

    const int oldWidth = glWindow->width();
    const int oldHeight = glWindow->height();
    // the frame's remaking clears with black; the scene's clear colour stays
    GLfloat clearColour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    const int width = static_cast<int>(widthFor(height));
    if (!surface->resizeFrame(width, height)) {
        surface->resizeFrame(oldWidth, oldHeight);
        glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
        error = "could not make a " + std::to_string(width) + "x" + std::to_string(height)
            + " frame (out of memory?)";
        return false;
    }
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);

    // The line width is set when a scene enters, so it is carried over here. Every width
    // the demo sets is whole at 480, which the division by the old scale gets back.
    GLfloat lineWidth = 1.0f;
    glGetFloatv(GL_LINE_WIDTH, &lineWidth);
    const float baseWidth = std::round(lineWidth / glWindow->pixelScale());
    glWindow->setFrameSize(width, height);
    glLineWidth(glWindow->scaledPixels(baseWidth));

    if (feedbackLayer && FeedbackLayer::texture != 0)
        feedbackLayer->remakeTexture();
    return true;
}
