// The position log: opened on first use when VORIMEL_POSITION_LOG names a file.
#include "platform/PositionLog.h"

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
    std::fprintf(file, "%lld %lld %u %u %.5f\n", nanoseconds(readSeconds), nanoseconds(forSeconds),
        static_cast<unsigned>(position.order), static_cast<unsigned>(position.row),
        static_cast<double>(position.rowFraction));
    std::fflush(file);
}

} // namespace platform
