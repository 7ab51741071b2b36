// The tests' surface: a queue of events and a present that only flushes.
#include "support/TestSurface.h"

#include "render/GLWindow.h"

#include "platform/GL.h"

namespace testsupport {

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

bool TestSurface::resizeFrame(int width, int height)
{
    return context && context->resizeFrame(width, height);
}

bool TestSurface::shownSize(int& width, int& height) const
{
    width = shownWidth;
    height = shownHeight;
    return width > 0 && height > 0;
}

void TestSurface::present()
{
    glFlush();
    ++presents;
}

} // namespace testsupport
