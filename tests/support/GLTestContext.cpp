// Shared test helpers.
#include "support/GLTestContext.h"

#include "platform/HeadlessContext.h"
#include "render/GLWindow.h"

#include <GL/gl.h>

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

bool ScriptedBackend::openDevice(int frequency)
{
    calls.push_back("openDevice " + std::to_string(frequency));
    return deviceAvailable;
}

void ScriptedBackend::setVolume(int percent)
{
    calls.push_back("setVolume " + std::to_string(percent));
}

void ScriptedBackend::startOutput()
{
    calls.push_back("startOutput");
}

void ScriptedBackend::closeDevice()
{
    calls.push_back("closeDevice");
}

uint32_t ScriptedBackend::loadModule(const char* path)
{
    calls.push_back(std::string("loadModule ") + path);
    return moduleHandle;
}

void ScriptedBackend::play(uint32_t handle)
{
    calls.push_back("play " + std::to_string(handle));
}

void ScriptedBackend::setPositionScaler(uint32_t handle, int scaler)
{
    calls.push_back("setPositionScaler " + std::to_string(handle) + " " + std::to_string(scaler));
}

void ScriptedBackend::playFrom(uint32_t handle, uint32_t position, bool reset)
{
    calls.push_back("playFrom " + std::to_string(handle) + " " + std::to_string(position) + " "
                    + (reset ? "reset" : "keep"));
}

int ScriptedBackend::setPosition(uint32_t handle, uint64_t position)
{
    calls.push_back("setPosition " + std::to_string(handle));
    positionsSet.push_back(position);
    return 1;
}

void ScriptedBackend::update()
{
    calls.push_back("update");
}

uint64_t ScriptedBackend::position(uint32_t handle)
{
    calls.push_back("position " + std::to_string(handle));
    return reported;
}

void ScriptedBackend::spectrum(uint32_t, float magnitudes[platform::spectrumBins])
{
    for (int i = 0; i < platform::spectrumBins; ++i)
        magnitudes[i] = 0.0f;
    magnitudes[0] = level;
}

} // namespace testsupport
