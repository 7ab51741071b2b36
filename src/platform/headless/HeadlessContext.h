// A surfaceless EGL context on Mesa with the demo's offscreen frame, for tests,
// benchmarks and the capture tool: no X server needed.
#pragma once

#include "platform/GLSurface.h"
#include "platform/offscreen/OffscreenFrame.h"

#include <memory>
#include <string>

namespace platform {

class HeadlessContext : public GLSurface {
public:
    // Makes the context current with a frame of width x height bound; null with the
    // cause in error.
    static std::unique_ptr<HeadlessContext> create(int width, int height, std::string& error);
    ~HeadlessContext() override;

    bool pollEvent(WindowEvent& event) override;
    void present() override;
    bool resizeFrame(int width, int height) override { return frame_.create(width, height); }

    const OffscreenFrame& frame() const { return frame_; }

private:
    HeadlessContext() = default;

    void* display_ = nullptr;
    void* context_ = nullptr;
    OffscreenFrame frame_;
};

} // namespace platform
