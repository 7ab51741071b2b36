// Surfaceless EGL on Mesa with an ES 2.0 context: llvmpipe runs the layer's program.
#include "platform/headless/gles/GlesHeadlessContext.h"

#include "platform/gles/FixedFunction.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES2/gl2.h>

namespace platform {

namespace {

EGLConfig chooseConfig(EGLDisplay display)
{
    const EGLint attributes[] = { EGL_SURFACE_TYPE, EGL_DONT_CARE, EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT,
        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_NONE };
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, attributes, &config, 1, &count) || count < 1)
        return nullptr;
    return config; // the frame is an FBO: the config only has to make the context
}

} // namespace

std::unique_ptr<GlesHeadlessContext> GlesHeadlessContext::create(int width, int height, std::string& error)
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
    if (!eglBindAPI(EGL_OPENGL_ES_API)) {
        error = "EGL cannot bind the OpenGL ES API";
        eglTerminate(display);
        return nullptr;
    }
    EGLConfig config = chooseConfig(display);
    if (!config) {
        error = "no EGL config for OpenGL ES 2 with 8-bit RGB channels";
        eglTerminate(display);
        return nullptr;
    }
    const EGLint contextAttributes[] = { EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE };
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        error = "eglCreateContext for OpenGL ES 2.0 failed";
        eglTerminate(display);
        return nullptr;
    }
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        error = "eglMakeCurrent without a surface failed";
        eglDestroyContext(display, context);
        eglTerminate(display);
        return nullptr;
    }

    std::unique_ptr<GlesHeadlessContext> headless(new GlesHeadlessContext);
    headless->display_ = display;
    headless->context_ = context;
    if (!headless->frame_.create(width, height)) {
        error = "the " + std::to_string(width) + "x" + std::to_string(height) + " frame is incomplete";
        return nullptr;
    }
    return headless;
}

GlesHeadlessContext::~GlesHeadlessContext()
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

bool GlesHeadlessContext::makeCurrent()
{
    if (!eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_))
        return false;
    frame_.bind();
    return true;
}

bool GlesHeadlessContext::pollEvent(WindowEvent&)
{
    return false;
}

void GlesHeadlessContext::present()
{
    ffgl::flush();
}

bool GlesHeadlessContext::resizeFrame(int width, int height)
{
    if (!frame_.create(width, height))
        return false;
    ffgl::frameRemade(width, height);
    return true;
}

} // namespace platform
