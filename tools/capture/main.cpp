// vorimel-capture: the demo rendered offline, frame-exact, to PNG files, WAV and MP4.
#include "CaptureOptions.h"
#include "CaptureSession.h"
#include "StopSignals.h"

#include <csignal>
#include <cstdio>
#include <string>

namespace {

constexpr int exitBadOptions = 1;

} // namespace

int main(int argc, char** argv)
{
    CaptureOptions options;
    std::string error;
    if (!parseCaptureOptions(argc - 1, argv + 1, options, error)) {
        std::fprintf(stderr, "vorimel-capture: %s (see vorimel-capture --help)\n", error.c_str());
        return exitBadOptions;
    }
    if (options.help) {
        std::fputs(captureUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("vorimel-capture %s\n", VORIMEL_VERSION);
        return 0;
    }
    // a dead ffmpeg then shows as a write error instead of ending this process
    std::signal(SIGPIPE, SIG_IGN);
    StopSignals::install();
    CaptureSession session(options);
    return session.run();
}
