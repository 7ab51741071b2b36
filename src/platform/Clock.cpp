// The system clock and the process-wide clock slot.
#include "platform/Clock.h"

#include <chrono>
#include <thread>

#include <time.h>

namespace platform {

namespace {

const auto programStart = std::chrono::steady_clock::now();

SystemClock systemClock;
Clock* current = nullptr;

} // namespace

uint32_t SystemClock::tick()
{
    const auto elapsed = std::chrono::steady_clock::now() - programStart;
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void SystemClock::sleep(uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

double monotonicSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

Clock& activeClock()
{
    return current ? *current : systemClock;
}

void setClock(Clock* clock)
{
    current = clock;
}

} // namespace platform
