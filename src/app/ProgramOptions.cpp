#include "app/ProgramOptions.h"

#include "render/FrameResizer.h"
#include "render/GLWindow.h"

#include <cstring>

namespace {

bool parseHeight(const char* text, ProgramOptions& options, std::string& error)
{
    if (std::strcmp(text, "native") == 0) {
        options.height = ProgramOptions::Height::native;
        return true;
    }
    if (!parseFrameHeight(text, options.fixedHeight)) {
        error = "--height wants a number of lines, " + frameHeightRule() + ", or native; not '" + text + "'";
        return false;
    }
    options.height = ProgramOptions::Height::fixed;
    return true;
}

} // namespace

bool parseProgramOptions(int argc, const char* const* argv, ProgramOptions& options, std::string& error)
{
    options = ProgramOptions();
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        ProgramOptions::Screen screen = ProgramOptions::Screen::ask;
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            options.help = true;
        } else if (std::strcmp(argument, "--version") == 0) {
            options.version = true;
        } else if (std::strcmp(argument, "--windowed") == 0) {
            screen = ProgramOptions::Screen::windowed;
        } else if (std::strcmp(argument, "--fullscreen") == 0) {
            screen = ProgramOptions::Screen::fullscreen;
        } else if (std::strcmp(argument, "--height") == 0) {
            if (i + 1 >= argc) {
                error = "--height needs a value: a number of lines, or native";
                return false;
            }
            if (!parseHeight(argv[++i], options, error))
                return false;
        } else if (std::strncmp(argument, "--height=", 9) == 0) {
            if (!parseHeight(argument + 9, options, error))
                return false;
        } else {
            error = std::string("unknown argument '") + argument + "'";
            return false;
        }
        if (screen != ProgramOptions::Screen::ask) {
            if (options.screen != ProgramOptions::Screen::ask && options.screen != screen) {
                error = "--windowed and --fullscreen exclude each other";
                return false;
            }
            options.screen = screen;
        }
    }
    return true;
}

bool applyFrameHeight(const ProgramOptions& options, std::string& error)
{
    if (options.height == ProgramOptions::Height::fixed)
        return setFrameHeight(options.fixedHeight, error);
    if (options.height == ProgramOptions::Height::native) {
        glWindow->setFollowsWindow(true);
        return fitFrameToWindow(error);
    }
    return true;
}

std::string programUsage(const std::string& name)
{
    const std::string standard = std::to_string(baseFrameHeight);
    return "usage: " + name
        + " [options]\n"
          "Plays the demo. Without options it asks \"fullscreen?\" and draws the frame at "
        + std::to_string(baseFrameWidth) + "x" + standard
        + ".\n"
          "It reads data/ in the working folder where there is one (a build folder),\n"
          "otherwise the data installed with it.\n"
          "\n"
          "  --windowed        start in a window, without asking\n"
          "  --fullscreen      start fullscreen, without asking\n"
          "  --height H        draw the frame natively at H lines (4H/3 wide): "
        + frameHeightRule() + "\n                    to what the GL allows; " + standard
        + " is the standard frame\n"
          "  --height native   draw at the height of the area the frame is shown in: the\n"
          "                    desktop when fullscreen, the window's size in a window (a\n"
          "                    resized window draws anew at its new size)\n"
          "  --help            this text\n"
          "  --version         the program's name and version\n"
          "\n"
          "Keys: Space skips to the next part of the music, Escape ends the demo.\n"
          "Exit status: 0 the demo played to its end or was ended, 1 no display or bad\n"
          "arguments, 2 no audio device, 3 no playable music.\n";
}
