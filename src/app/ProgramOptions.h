// The programs' command line. Without arguments the demo starts as it always has: it
// asks "fullscreen?" and draws 640x480. The options answer the question in advance
// (for launchers and scripts) and choose the height the frame is drawn at.
#pragma once

#include "render/FrameSize.h"

#include <string>

struct ProgramOptions {
    enum class Screen { ask, windowed, fullscreen };
    enum class Height { standard, fixed, native };

    Screen screen = Screen::ask;
    Height height = Height::standard;  // standard: 480
    int fixedHeight = baseFrameHeight; // with Height::fixed
    bool help = false;
    bool version = false;
};

// Reads argv; false with a one-line reason in error (no program name) on anything it
// does not know. A height follows the rule of render/FrameSize; the GL's own limits are
// checked once a context exists.
bool parseProgramOptions(int argc, const char* const* argv, ProgramOptions& options, std::string& error);

// Draws the frame at the height the options ask for, once the window's context exists
// (the GL's limits are known only then); with native, the frame then follows the
// window. False with the reason in error.
bool applyFrameHeight(const ProgramOptions& options, std::string& error);

// The --help text, for the program called name.
std::string programUsage(const std::string& name);
