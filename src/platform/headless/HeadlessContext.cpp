// Surfaceless EGL on Mesa: no display server, the offscreen frame is the only target.
#include "platform/headless/HeadlessContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

namespace platform {

namespace {

// Mesa lists deeper formats first and treats sizes as minimums: pick 8-bit RGB
// without alpha explicitly. The frame is an FBO anyway; this only fixes the context.
EGLConfig chooseConfig(EGLDisplay display)
{
    const EGLint attributes[] = { EGL_SURFACE_TYPE, EGL_DONT_CARE, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_NONE };
    EGLConfig configs[64];
    EGLint count = 0;
    if (!eglChooseConfig(display, attributes, configs, 64, &count))
        return nullptr;
    for (EGLint i = 0; i < count; ++i) {
        EGLint red = 0, green = 0, blue = 0, alpha = 0;
        eglGetConfigAttrib(display, configs[i], EGL_RED_SIZE, &red);
        eglGetConfigAttrib(display, configs[i], EGL_GREEN_SIZE, &green);
        eglGetConfigAttrib(display, configs[i], EGL_BLUE_SIZE, &blue);
        eglGetConfigAttrib(display, configs[i], EGL_ALPHA_SIZE, &alpha);
        if (red == 8 && green == 8 && blue == 8 && alpha == 0)
            return configs[i];
    }
    return count > 0 ? configs[0] : nullptr;
}

} // namespace

std::unique_ptr<HeadlessContext> HeadlessContext::create(int width, int height, std::string& error)
{
    auto getPlatformDisplay
        = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
        error = "EGL has no eglGetPlatformDisplayEXT";
        return nullptr;
    }
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        error = "no surfaceless EGL display (are libegl-mesa0 and libgl1-mesa-dri installed?)";
        return nullptr;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error = "EGL cannot bind the desktop OpenGL API";
        eglTerminate(display);
        return nullptr;
    }
    EGLConfig config = chooseConfig(display);
    if (!config) {
        error = "no EGL config with 8-bit RGB channels";
        eglTerminate(display);
        return nullptr;
    }
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) {
        error = "eglCreateContext failed";
        eglTerminate(display);
        return nullptr;
    }
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        error = "eglMakeCurrent without a surface failed";
        eglDestroyContext(display, context);
        eglTerminate(display);
        return nullptr;
    }

    std::unique_ptr<HeadlessContext> headless(new HeadlessContext);
    headless->display_ = display;
    headless->context_ = context;
    if (!headless->frame_.create(width, height)) {
        error = "the " + std::to_string(width) + "x" + std::to_string(height)
            + " offscreen frame is incomplete";
        return nullptr;
    }
    return headless;
}

HeadlessContext::~HeadlessContext()
{
    frame_.destroy();
    if (display_) {
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (context_)
            eglDestroyContext(display_, context_);
        // The display stays initialised for the process, as EGL keeps one per platform:
        // terminating it unloads Mesa's driver, whose last allocations then read as leaks,
        // and the next context (a second capture in one process) initialises it again.
    }
}

bool HeadlessContext::pollEvent(WindowEvent&)
{
    return false;
}

void HeadlessContext::present()
{
    glFlush();
}

} // namespace platform
