// A clock that moves only when the test (or a sleep) moves it.
#pragma once

#include "platform/Clock.h"

#include <cstdint>

namespace testsupport {

class ManualClock : public platform::Clock {
public:
    uint32_t tick() override { return now; }
    void sleep(uint32_t milliseconds) override
    {
        now += milliseconds;
        slept += milliseconds;
    }

    uint32_t now = 0;
    uint32_t slept = 0;
};

} // namespace testsupport
