// The command line of vorimel-capture.
#pragma once

#include "render/FrameSize.h"

#include <string>

struct CaptureOptions {
    static constexpr int lastOrder = 14; // the timeline ends the demo when the music reaches it

    char variant = 'a'; // 'a': feedback alpha 0.65, 'b': 0.99
    int fps = 60;
    std::string framesDir;        // numbered PNG files when set
    std::string audioPath;        // WAV file when set
    std::string videoPath;        // MP4 file when set
    int height = baseFrameHeight; // frame height H, drawn natively at 4H/3 x H
    int until = lastOrder;        // below lastOrder: stop at the first frame at this music order or later
    bool loading = false;         // also write the loading screen
    bool help = false;
    bool version = false;

    float feedbackAlpha() const { return variant == 'b' ? 0.99f : 0.65f; }
    // Otherwise the capture ends where the program's frame driver ends the demo.
    bool stopsEarly() const { return until < lastOrder; }
};

// Reads the arguments after the program name; false with the reason in error.
bool parseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options, std::string& error);

// What --help prints.
std::string captureUsage();
