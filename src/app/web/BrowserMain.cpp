// The entry point in a browser. The page's two buttons answered "fullscreen?" (the
// argument --fullscreen or --windowed) and their click started the sound; the page's
// ?height=H|native comes as --height, as on the desktop (the page asks for native). The
// loading runs as on the desktop, its pauses handing the page back to the browser, and
// then the browser calls the loop once per display refresh.
//
// "--frames-per-second=N" (the page's ?fps=N) runs the demo on vorimel-capture's
// clock instead: each frame shown moves time by 1/N s and the music follows, so that a
// test sees the capture's frames whatever speed the browser draws at. "--bench" (the
// page's ?bench) waits for each frame to be drawn and tells the page how long it took
// and which scene drew it.
#include "app/Loader.h"
#include "app/MainLoop.h"
#include "app/ProgramOptions.h"
#include "app/ShellState.h"
#include "app/Shutdown.h"
#include "music/MusicPlayer.h"
#include "music/TimelineState.h"
#include "platform/Clock.h"
#include "platform/FrameLoop.h"
#include "platform/FrameTiming.h"
#include "platform/MessageBox.h"
#include "platform/VirtualClock.h"
#include "platform/web/WebAudioBackend.h"
#include "platform/web/WebPage.h"
#include "render/Effect.h"
#include "render/GLWindow.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

std::unique_ptr<platform::WebAudioBackend> audio;
std::unique_ptr<VirtualClock> frameClock;
bool benchFrames = false;

// Takes "--bench" out of the arguments: whether it was there.
bool takeBench(std::vector<const char*>& arguments)
{
    const auto end = std::remove_if(arguments.begin(), arguments.end(),
        [](const char* argument) { return std::strcmp(argument, "--bench") == 0; });
    const bool found = end != arguments.end();
    arguments.erase(end, arguments.end());
    return found;
}

// The class name of the scene on screen, for the page's figures.
std::string sceneName()
{
    if (!currentScene)
        return "loading screen";
    int status = 0;
    char* name = abi::__cxa_demangle(typeid(*currentScene).name(), nullptr, nullptr, &status);
    std::string result = status == 0 ? name : typeid(*currentScene).name();
    std::free(name);
    return result;
}

// Takes "--frames-per-second=N" out of the arguments: N, or 0 without it.
int takeFramesPerSecond(std::vector<const char*>& arguments)
{
    constexpr const char* option = "--frames-per-second=";
    int fps = 0;
    for (auto it = arguments.begin(); it != arguments.end();) {
        if (std::strncmp(*it, option, std::strlen(option)) == 0) {
            fps = std::max(0, std::atoi(*it + std::strlen(option)));
            it = arguments.erase(it);
        } else {
            ++it;
        }
    }
    return fps;
}

bool nextFrame()
{
    const double start = platform::monotonicSeconds();
    const bool more = mainLoopFrame();
    if (benchFrames && more) {
        platform::waitUntilDrawn();
        platform::reportFrameTime(sceneName().c_str(), (platform::monotonicSeconds() - start) * 1000.0);
    }
    if (frameClock)
        frameClock->advanceFrame();
    return more;
}

// After the loop, as on the desktop: the cause of a start that failed, the window, the
// shutdown (which ends the program; the page then offers to play again).
void finish()
{
    endDemo(audio->lastError(), "");
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<const char*> arguments(argv, argv + argc);
    const int fps = takeFramesPerSecond(arguments);
    benchFrames = takeBench(arguments);
    ProgramOptions options;
    std::string error;
    if (!parseProgramOptions(static_cast<int>(arguments.size()), arguments.data(), options, error)) {
        platform::showMessage("ERROR", "The page asked for what the demo does not know.",
            platform::MessageIcon::error, error.c_str());
        return exitBadArguments;
    }

    audio = std::make_unique<platform::WebAudioBackend>();
    if (fps > 0) {
        frameClock = std::make_unique<VirtualClock>(FrameTiming(fps, 44100));
        platform::setClock(frameClock.get());
        audio->followFrames(fps, [] { return frameClock->frames(); });
    }
    musicPlayer.setBackend(audio.get());

    glWindow->setTitle("zent.vorimel");
    glWindow->setFullscreen(options.screen == ProgramOptions::Screen::fullscreen ? 1 : 0);
    if (!glWindow->createWindow(
            glWindow->title(), glWindow->width(), glWindow->height(), 32, glWindow->isFullscreen()))
        return exitNoDisplay;
    if (!applyFrameHeight(options, error)) {
        platform::showMessage("ERROR", "The frame cannot be drawn at that height.",
            platform::MessageIcon::error, error.c_str());
        glWindow->killWindow();
        return exitBadArguments;
    }

    while (!loaded) {
        if (!mainLoopPass())
            finish();
    }
    platform::runFrameLoop(nextFrame, finish);
    return 0;
}
