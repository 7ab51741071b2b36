// The position log: opened on first use when VORIMEL_POSITION_LOG names a file.
#include "platform/audio/openmpt/PositionLog.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

std::FILE* logFile()
{
    static std::FILE* const file = [] {
        const char* path = std::getenv("VORIMEL_POSITION_LOG");
        return path && *path ? std::fopen(path, "w") : nullptr;
    }();
    return file;
}

long long nanoseconds(double seconds)
{
    return static_cast<long long>(seconds * 1e9);
}

} // namespace

void logPosition(double readSeconds, double forSeconds, const ModulePosition& position)
{
    std::FILE* file = logFile();
    if (!file)
        return;
    // cut, not rounded, to five places: a row's last part never reads as 1
    const double fraction = std::floor(static_cast<double>(position.rowFraction) * 1e5) / 1e5;
    std::fprintf(file, "%lld %lld %u %u %.5f\n", nanoseconds(readSeconds), nanoseconds(forSeconds),
        static_cast<unsigned>(position.order), static_cast<unsigned>(position.row), fraction);
    std::fflush(file);
}

} // namespace platform
