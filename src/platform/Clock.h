// The program's millisecond tick and sleep, behind an interface that tests and the
// capture tool can drive by hand.
#pragma once

#include <cstdint>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since program start; wraps after 49 days like any 32-bit tick.
    virtual uint32_t tick() = 0;
    virtual void sleep(uint32_t milliseconds) = 0;
};

// The real clock: a steady clock counted from static initialisation.
class SystemClock : public Clock {
public:
    uint32_t tick() override;
    void sleep(uint32_t milliseconds) override;
};

// The clock everything reads; the system clock unless replaced.
Clock& activeClock();
// Plugs in another clock (not owned); nullptr restores the system clock.
void setClock(Clock* clock);

// CLOCK_MONOTONIC in seconds: the clock every audio and frame timestamp is taken on,
// the one the sound servers stamp their timing with.
double monotonicSeconds();

inline uint32_t tickCount()
{
    return activeClock().tick();
}
inline void sleepFor(uint32_t milliseconds)
{
    activeClock().sleep(milliseconds);
}

} // namespace platform
