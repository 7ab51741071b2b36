// The command line of vorimel-capture.
#pragma once

#include <string>

struct CaptureOptions {
    char variant = 'a'; // 'a': feedback alpha 0.65, 'b': 0.99
    int fps = 60;
    std::string framesDir; // numbered PNG files when set
    std::string audioPath; // WAV file when set
    std::string videoPath; // MP4 file when set
    int scale = 1; // integer upscale of the video only
    int until = 14; // stop at the first frame at this music order or later
    bool loading = false; // also write the loading screen
    bool help = false;

    float feedbackAlpha() const { return variant == 'b' ? 0.99f : 0.65f; }
};

// Reads the arguments after the program name; false with the reason in error.
bool parseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options, std::string& error);

// What --help prints.
std::string captureUsage();
