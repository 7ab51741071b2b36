// The capture's GL surface: the headless context and its 640x480 frame; no events;
// present() hands the finished frame to the capture.
#pragma once

#include "platform/GLSurface.h"
#include "platform/HeadlessContext.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

class CaptureSurface : public platform::GLSurface {
public:
    explicit CaptureSurface(std::unique_ptr<platform::HeadlessContext> context);

    // Called after every present; an empty function stops the forwarding.
    void setOnPresent(std::function<void()> onPresent) { onPresent_ = std::move(onPresent); }

    bool pollEvent(platform::WindowEvent&) override { return false; }
    void present() override;

    // The frame as RGB rows, bottom row first: frameWidth * frameHeight * 3 bytes.
    void readPixels(uint8_t* out) const;

    static constexpr size_t frameBytes
        = static_cast<size_t>(platform::frameWidth) * platform::frameHeight * 3;

private:
    std::unique_ptr<platform::HeadlessContext> context_;
    std::function<void()> onPresent_;
};
