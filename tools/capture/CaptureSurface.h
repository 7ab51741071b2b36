// The capture's GL surface: the headless context and its frame (640x480 unless made
// larger); no events; present() hands the finished frame to the capture.
#pragma once

#include "platform/GLSurface.h"
#ifdef VORIMEL_GLES2
#include "platform/headless/gles/GlesHeadlessContext.h"
#else
#include "platform/headless/HeadlessContext.h"
#endif

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

// The headless context of the build: GL 1.1, or GLES2 under the fixed-function layer.
#ifdef VORIMEL_GLES2
using CaptureContext = platform::GlesHeadlessContext;
#else
using CaptureContext = platform::HeadlessContext;
#endif

class CaptureSurface : public platform::GLSurface {
public:
    explicit CaptureSurface(std::unique_ptr<CaptureContext> context);
    ~CaptureSurface() override;

    // Called after every present; an empty function stops the forwarding.
    void setOnPresent(std::function<void()> onPresent) { onPresent_ = std::move(onPresent); }

    bool pollEvent(platform::WindowEvent&) override { return false; }
    void present() override;
    bool resizeFrame(int width, int height) override { return context_->resizeFrame(width, height); }

    // The frame as RGB rows, bottom row first: frameBytes() bytes.
    void readPixels(uint8_t* out) const;

    // Reads the frame just drawn, to be fetched later: natively into a pixel-buffer
    // object, which a GL may fill while it goes on with the next frame; under GLES2,
    // which has none, into memory at once. At most two reads are pending.
    void startRead();
    // The oldest pending read into out, as readPixels gives it; false when none is pending.
    bool finishRead(uint8_t* out);
    size_t readsPending() const { return pending_.size(); }

    int frameWidth() const { return context_->frame().width(); }
    int frameHeight() const { return context_->frame().height(); }
    size_t frameBytes() const { return static_cast<size_t>(frameWidth()) * frameHeight() * 3; }

private:
    std::unique_ptr<CaptureContext> context_;
    std::function<void()> onPresent_;
    std::deque<int> pending_; // the slots holding reads, oldest first
#ifdef VORIMEL_GLES2
    std::vector<uint8_t> staging_[2];
#else
    unsigned pixelBuffers_[2] = { 0, 0 };
    size_t pixelBufferBytes_ = 0;
#endif
};
