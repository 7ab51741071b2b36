// A surfaceless EGL context on Mesa with the GLES 2.0 API and the demo's frame, for
// the capture tool and tests of the fixed-function layer: no X server needed.
#pragma once

#include "platform/GLSurface.h"
#include "platform/gles/GlesFrame.h"

#include <memory>
#include <string>

namespace platform {

class GlesHeadlessContext : public GLSurface {
public:
    // Makes the context current with the frame bound; null with the cause in error.
    static std::unique_ptr<GlesHeadlessContext> create(int width, int height, std::string& error);
    ~GlesHeadlessContext() override;

    // Makes the context current again with the frame bound, where several contexts
    // share a thread (tests).
    bool makeCurrent();

    bool pollEvent(WindowEvent& event) override;
    void present() override;
    // The frame anew at width x height, the layer told of its new viewport.
    bool resizeFrame(int width, int height) override;

    const ffgl::GlesFrame& frame() const { return frame_; }

private:
    GlesHeadlessContext() = default;

    void* display_ = nullptr;
    void* context_ = nullptr;
    ffgl::GlesFrame frame_;
};

} // namespace platform
