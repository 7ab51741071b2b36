// The capture's clock: sleeps advance it at once, and every presented frame of the
// running demo moves it to the next frame's instant on the frame grid.
#pragma once

#include "platform/Clock.h"
#include "platform/FrameTiming.h"

class VirtualClock : public platform::Clock {
public:
    explicit VirtualClock(const FrameTiming& timing)
        : timing_(timing)
    {
    }

    uint32_t tick() override { return now_; }
    // Shifts the frame grid with it: the frames after a sleep keep their spacing.
    void sleep(uint32_t milliseconds) override;
    // Moves the tick to the instant of the next frame.
    void advanceFrame();
    uint64_t frames() const { return frames_; }

private:
    FrameTiming timing_;
    uint32_t now_ = 0;
    uint32_t gridStart_ = 0; // tick of frame 0 of the grid
    uint64_t frames_ = 0;
};
