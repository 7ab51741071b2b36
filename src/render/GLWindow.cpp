// Window creation and release in the demo's order, with its messages.
#include "render/GLWindow.h"

#include "platform/Display.h"
#include "platform/GLSurface.h"
#include "platform/MessageBox.h"
#include "platform/WindowFactory.h"

#include "platform/GL.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

void creationError(const char* text, const std::string& cause)
{
    platform::showMessage("ERROR", text, platform::MessageIcon::exclamation, cause.c_str());
}

void shutdownError(const char* text)
{
    platform::showMessage("SHUTDOWN ERROR", text, platform::MessageIcon::information);
}

const char* failureText(platform::WindowFailure failure)
{
    switch (failure) {
    // clang-format off
    case platform::WindowFailure::context:    return "Can't Create A GL Rendering Context.";
    case platform::WindowFailure::activation: return "Can't Activate The GL Rendering Context.";
    case platform::WindowFailure::frame:      return "Can't Set The PixelFormat.";
    default:                                  return "Window Creation Error.";
        // clang-format on
    }
}

} // namespace

GLWindow* glWindow = nullptr;

GLWindow::GLWindow(int width, int height)
    : height_(height)
    , width_(width)
{
    if (width <= 0 || height <= 0) {
        width_ = baseFrameWidth;
        height_ = baseFrameHeight;
    }
}

GLWindow::~GLWindow() = default;

void GLWindow::reset()
{
    surface_.reset();
    setFrameSize(baseFrameWidth, baseFrameHeight);
    fullscreen_ = 0;
    title_[0] = '\0';
    followsWindow_ = false;
}

void GLWindow::setTitle(const char* text)
{
    std::snprintf(title_, sizeof title_, "%s", text);
}

int GLWindow::createWindow(const char* title, int width, int height, int, unsigned char fullscreen)
{
    fullscreen_ = fullscreen;

    std::string cause;
    if (!platform::initVideo(cause)) {
        creationError("Failed To Register The Window Class.", cause);
        return 0;
    }
    videoStarted_ = true;

    // The desktop keeps its mode; the frame is scaled to fill it.
    if (fullscreen_ && !platform::fullscreenAvailable(width, height)) {
        const platform::Answer answer = platform::askYesNo("Kaplo GL",
            "The Requested Fullscreen Mode Is Not Supported By\nyour Video Card. Use Windowed Mode Instead?",
            platform::MessageIcon::exclamation);
        if (answer != platform::Answer::yes) {
            platform::showMessage("ERROR", "Program Will Now Close.", platform::MessageIcon::error);
            return 0;
        }
        fullscreen_ = 0;
    }
    if (fullscreen_)
        platform::showCursor(false);

    platform::WindowFailure failure = platform::WindowFailure::none;
    surface_ = platform::createWindowSurface(title, width, height, fullscreen_ != 0, failure, cause);
    if (!surface_) {
        killWindow();
        creationError(failureText(failure), cause);
        return 0;
    }
    return 1;
}

void GLWindow::killWindow()
{
    if (fullscreen_) {
        if (surface_)
            surface_->leaveFullscreen();
        platform::showCursor(true);
    }
    if (surface_) {
        if (!surface_->releaseContext())
            shutdownError("Release Of DC And RC Failed.");
        surface_.reset();
    }
    if (videoStarted_) {
        platform::quitVideo();
        videoStarted_ = false;
    }
}

void GLWindow::setFrameSize(int width, int height)
{
    width_ = width;
    height_ = height;
}

float GLWindow::scaledPixels(float size) const
{
    if (height_ == baseFrameHeight)
        return size;
    return std::round(size * pixelScale());
}

void GLWindow::begin2D(float w, float h)
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glViewport(0, 0, width_, height_);
    glOrtho(-w / 2, w / 2, -h / 2, h / 2, 0.1, 200.0);
    glMatrixMode(GL_MODELVIEW);
}

void GLWindow::end2D()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void GLWindow::attachSurface(std::unique_ptr<platform::GLSurface> surface)
{
    surface_ = std::move(surface);
}
