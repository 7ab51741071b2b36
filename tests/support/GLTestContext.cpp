// The headless context, made once and kept for the whole test executable.
#include "support/GLTestContext.h"

#include "render/GLWindow.h"
#ifdef VORIMEL_GLES2
#include "platform/headless/gles/GlesHeadlessContext.h"
#else
#include "platform/headless/HeadlessContext.h"
#endif
#include "app/DemoState.h"
#include "support/TestSurface.h"

#include "platform/GL.h"

#include <memory>

namespace testsupport {

namespace {

// The headless context of the build: GL 1.1, or GLES2 under the fixed-function layer.
#ifdef VORIMEL_GLES2
using HeadlessContext = platform::GlesHeadlessContext;
#else
using HeadlessContext = platform::HeadlessContext;
#endif

// Kept to the end of the process: terminating EGL unloads the driver, and its
// allocations would then show up as leaks of an unknown module.
std::unique_ptr<HeadlessContext>& headless()
{
    static auto* context = new std::unique_ptr<HeadlessContext>;
    return *context;
}

} // namespace

bool ensureGLContext(std::string& error)
{
    if (!headless()) {
        headless() = HeadlessContext::create(glWindow->width(), glWindow->height(), error);
        if (!headless())
            return false;
    }
    if (glWindow->surface())
        return true;
    // the demo's reset let the last surface go: a new one on the kept context, whose
    // frame a test may have left at another size
    if ((headless()->frame().width() != glWindow->width()
            || headless()->frame().height() != glWindow->height())
        && !headless()->resizeFrame(glWindow->width(), glWindow->height())) {
        error = "the headless frame cannot be made anew";
        return false;
    }
    auto surface = std::make_unique<TestSurface>();
    surface->context = headless().get();
    glWindow->attachSurface(std::move(surface));
    return true;
}

void GLTest::SetUp()
{
    resetDemoState();
    std::string error;
    ASSERT_TRUE(ensureGLContext(error)) << "no headless GL context: " << error;
}

std::array<int, 3> pixelAt(int x, int y)
{
    unsigned char rgba[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return { rgba[0], rgba[1], rgba[2] };
}

int matrixStackDepth(unsigned int stackQuery)
{
    GLint depth = 0;
    glGetIntegerv(stackQuery, &depth);
    return depth;
}

} // namespace testsupport
