// The surface the tests attach to glWindow: events fed by the test, presents counted.
#pragma once

#include "platform/GLSurface.h"

#include <deque>

namespace testsupport {

class TestSurface : public platform::GLSurface {
public:
    bool pollEvent(platform::WindowEvent& event) override;
    void present() override;
    // The headless context's frame, which the tests draw into.
    bool resizeFrame(int width, int height) override;
    // The size a test says the frame is shown at; unknown while zero.
    bool shownSize(int& width, int& height) const override;

    std::deque<platform::WindowEvent> events;
    int presents = 0;
    int shownWidth = 0;
    int shownHeight = 0;
    platform::GLSurface* context = nullptr; // the headless context that keeps the frame
};

// The surface attached to glWindow by ensureGLContext.
TestSurface& testSurface();

} // namespace testsupport
