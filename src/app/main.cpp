// The entry point: title, the fullscreen question, the window, the loop, the shutdown.
#include "app/MainLoop.h"
#include "app/ProgramOptions.h"
#include "app/Shutdown.h"
#include "music/MusicPlayer.h"
#include "platform/Display.h"
#include "platform/MessageBox.h"
#include "platform/desktop/AudioFactory.h"
#include "render/GLWindow.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

// Asks "fullscreen?". A display that cannot draw the box (an X server without fonts)
// still takes a window: the demo then starts windowed, the safe answer, and says why.
// False when there is no display at all, after saying so.
bool askFullscreen(unsigned char& fullscreen)
{
    std::string why;
    const platform::Answer answer
        = platform::askYesNo(glWindow->title(), "fullscreen?", platform::MessageIcon::question, &why);
    if (answer != platform::Answer::failed) {
        fullscreen = answer == platform::Answer::no ? 0 : 1;
        return true;
    }
    std::string noDisplay;
    if (!platform::displayAvailable(noDisplay)) {
        std::fprintf(stderr,
            "vorimel: %s: the \"fullscreen?\" question could not be shown"
            " (run it on a desktop, or under xvfb-run)\n",
            noDisplay.c_str());
        return false;
    }
    // SDL reports only the last way it tried (zenity), so the fix names both
    std::fprintf(stderr,
        "vorimel: the \"fullscreen?\" question could not be shown (%s); starting windowed."
        " Message boxes need an X server with its fonts (on Debian: xfonts-base) or zenity.\n",
        why.c_str());
    fullscreen = 0;
    return true;
}

// The name the program was started by, for its messages: vorimel or vorimel_b.
std::string programName(const char* path)
{
    const std::string name = path && *path ? path : "vorimel";
    const size_t slash = name.rfind('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string name = programName(argc > 0 ? argv[0] : nullptr);
    ProgramOptions options;
    std::string error;
    if (!parseProgramOptions(argc, argv, options, error)) {
        std::fprintf(
            stderr, "%s: %s (%s --help lists the options)\n", name.c_str(), error.c_str(), name.c_str());
        return exitBadArguments;
    }
    if (options.help) {
        std::fputs(programUsage(name).c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("%s %s\n", name.c_str(), VORIMEL_VERSION);
        return 0;
    }

    const std::unique_ptr<platform::AudioBackend> audio = platform::createRealTimeAudioBackend();
    musicPlayer.setBackend(audio.get());

    glWindow->setTitle("zent.vorimel");
    unsigned char fullscreen = options.screen == ProgramOptions::Screen::fullscreen ? 1 : 0;
    if (options.screen == ProgramOptions::Screen::ask && !askFullscreen(fullscreen))
        return exitNoDisplay;
    glWindow->setFullscreen(fullscreen);

    if (!glWindow->createWindow(
            glWindow->title(), glWindow->width(), glWindow->height(), 32, glWindow->isFullscreen()))
        return exitNoDisplay;
    if (!applyFrameHeight(options, error)) {
        std::fprintf(stderr, "%s: --height: %s\n", name.c_str(), error.c_str());
        glWindow->killWindow();
        return exitBadArguments;
    }

    runMainLoop();
    endDemo(audio->lastError(), "; SDL_AUDIODRIVER=dummy runs the demo silently");
}
