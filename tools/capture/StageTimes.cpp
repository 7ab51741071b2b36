// Per-thread CPU time from CLOCK_THREAD_CPUTIME_ID, wall time from the steady clock.
#include "StageTimes.h"

#include <cstdio>
#include <ctime>

namespace {

const char* const stageNames[] = { "pass", "read", "fetch", "wait", "audio", "encode", "deliver" };

} // namespace

StageTimes::Scope::Scope(StageTimes& times, Stage stage)
    : times_(times)
    , stage_(stage)
    , wallStart_(std::chrono::steady_clock::now())
    , cpuStart_(threadCpuNanoseconds())
{
}

StageTimes::Scope::~Scope()
{
    const auto wall = std::chrono::steady_clock::now() - wallStart_;
    times_.add(stage_, std::chrono::duration_cast<std::chrono::nanoseconds>(wall).count(),
        threadCpuNanoseconds() - cpuStart_);
}

int64_t StageTimes::threadCpuNanoseconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

void StageTimes::add(Stage stage, int64_t wallNanoseconds, int64_t cpuNanoseconds)
{
    Totals& totals = totals_[stage];
    totals.calls.fetch_add(1, std::memory_order_relaxed);
    totals.wall.fetch_add(wallNanoseconds, std::memory_order_relaxed);
    totals.cpu.fetch_add(cpuNanoseconds, std::memory_order_relaxed);
}

std::string StageTimes::report() const
{
    std::string text;
    for (int stage = 0; stage < stageCount; ++stage) {
        const Totals& totals = totals_[stage];
        const uint64_t calls = totals.calls.load();
        if (calls == 0)
            continue;
        const double wall = static_cast<double>(totals.wall.load()) * 1e-9;
        const double cpu = static_cast<double>(totals.cpu.load()) * 1e-9;
        char line[160];
        std::snprintf(line, sizeof line,
            "vorimel-capture: %-8s %6llu calls %8.2f s wall %8.2f s CPU %8.3f ms wall per call\n",
            stageNames[stage], static_cast<unsigned long long>(calls), wall, cpu,
            1e3 * wall / static_cast<double>(calls));
        text += line;
    }
    return text;
}
