// The system clock and the process-wide clock slot.
#include "platform/Clock.h"

#include <chrono>
#include <thread>

#include <time.h>

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#endif

namespace platform {

namespace {

SystemClock systemClock;
Clock* current = nullptr;

} // namespace

#ifdef __EMSCRIPTEN__

// In a browser: performance.now(), and a sleep that hands the page back to the browser
// (which then shows what was drawn) instead of blocking it.
namespace {

const double programStartMs = emscripten_get_now();

} // namespace

uint32_t SystemClock::tick()
{
    return static_cast<uint32_t>(emscripten_get_now() - programStartMs);
}

void SystemClock::sleep(uint32_t milliseconds)
{
    emscripten_sleep(milliseconds);
}

double monotonicSeconds()
{
    return emscripten_get_now() * 0.001;
}

#else

namespace {

const auto programStart = std::chrono::steady_clock::now();

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

#endif

Clock& activeClock()
{
    return current ? *current : systemClock;
}

void setClock(Clock* clock)
{
    current = clock;
}

} // namespace platform
