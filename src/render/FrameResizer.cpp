// The frame's switch to a new size, and the window it follows.
#include "render/FrameResizer.h"

#include "platform/DebugOutput.h"
#include "platform/GLSurface.h"
#include "render/FeedbackLayer.h"
#include "render/GLWindow.h"
#include "render/SceneRegistry.h"

#include "platform/GL.h"

#include <cassert>
#include <cmath>
#include <cstdio>

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
    const int width = frameWidthFor(height);
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

bool fitFrameToWindow(std::string& error)
{
    int width = 0;
    int height = 0;
    platform::GLSurface* surface = glWindow->surface();
    if (!surface || !surface->shownSize(width, height)) {
        error = "the window's size is not known";
        return false;
    }
    if (!setFrameHeight(frameHeightFitting(width, height, queryFrameLimits()), error))
        return false;
    char line[96];
    std::snprintf(line, sizeof line, "frame %dx%d in %dx%d shown\n", glWindow->width(), glWindow->height(),
        width, height);
    platform::debugOutput(line);
    return true;
}

void windowResized()
{
    if (!glWindow->followsWindow())
        return;
    std::string error;
    if (!fitFrameToWindow(error))
        std::fprintf(stderr, "vorimel: the frame stays %dx%d: %s\n", glWindow->width(), glWindow->height(),
            error.c_str());
}
