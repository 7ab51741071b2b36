// Shared test helpers.
#include "support/GLTestContext.h"

#include "support/DemoState.h"

#include "platform/HeadlessContext.h"
#include "render/GLWindow.h"

#include <GL/gl.h>

#include <algorithm>
#include <memory>

namespace testsupport {

namespace {

// Kept to the end of the process: terminating EGL unloads the driver, and its
// allocations would then show up as leaks of an unknown module.
std::unique_ptr<platform::HeadlessContext>& headless()
{
    static auto* context = new std::unique_ptr<platform::HeadlessContext>;
    return *context;
}

} // namespace

bool ensureGLContext(std::string& error)
{
    if (headless())
        return true;
    headless() = platform::HeadlessContext::create(error);
    if (!headless())
        return false;
    glWindow->attachSurface(std::make_unique<TestSurface>());
    return true;
}

void GLTest::SetUp()
{
    std::string error;
    ASSERT_TRUE(ensureGLContext(error)) << "no headless GL context: " << error;
    resetDemoState();
}

std::array<int, 3> pixelAt(int x, int y)
{
    unsigned char rgba[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

int matrixStackDepth(unsigned int stackQuery)
{
    GLint depth = 0;
    glGetIntegerv(stackQuery, &depth);
    return depth;
}

TestSurface& testSurface()
{
    return *static_cast<TestSurface*>(glWindow->surface());
}

bool TestSurface::pollEvent(platform::WindowEvent& event)
{
    if (events.empty())
        return false;
    event = events.front();
    events.pop_front();
    return true;
}

void TestSurface::present()
{
    glFlush();
    ++presents;
}

void ScriptedBackend::spectrum(uint32_t, float magnitudes[platform::spectrumBins])
{
    std::fill(magnitudes, magnitudes + platform::spectrumBins, 0.0f);
    magnitudes[0] = level;
}

} // namespace testsupport
