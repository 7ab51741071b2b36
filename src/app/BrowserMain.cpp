// The entry point in a browser. The page's two buttons answered "fullscreen?" (the
// argument "fullscreen" or "window") and their click started the sound; the loading
// runs as on the desktop, its pauses handing the page back to the browser, and then
// the browser calls the loop once per display refresh.
//
// "--frames-per-second=N" (the page's ?fps=N) runs the demo on vorimel-capture's
// clock instead: each frame shown moves time by 1/N s and the music follows, so that a
// test sees the capture's frames whatever speed the browser draws at.
#include "FrameTiming.h"
#include "VirtualClock.h"
#include "app/Loader.h"
#include "app/MainLoop.h"
#include "app/ShellState.h"
#include "app/Shutdown.h"
#include "music/MusicPlayer.h"
#include "platform/FrameLoop.h"
#include "platform/MessageBox.h"
#include "platform/WebAudioBackend.h"
#include "render/GLWindow.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int exitNoDisplay = 1;
constexpr int exitNoAudio = 2;
constexpr int exitNoMusic = 3;

std::unique_ptr<platform::WebAudioBackend> audio;
std::unique_ptr<VirtualClock> frameClock;

// The frame rate of "--frames-per-second=N", 0 without it.
int framesPerSecondOf(int argc, char** argv)
{
    constexpr const char* option = "--frames-per-second=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], option, std::strlen(option)) == 0)
            return std::max(0, std::atoi(argv[i] + std::strlen(option)));
    }
    return 0;
}

bool nextFrame()
{
    const bool more = mainLoopFrame();
    if (frameClock)
        frameClock->advanceFrame();
    return more;
}

// After the loop, as on the desktop: the cause of a start that failed, the window, the
// shutdown (which ends the program; the page then offers to play again).
void endDemo()
{
    int exitCode = 0;
    if (loadResult < 0) {
        platform::showMessage("ERROR", "Can't Initialise The Audio Device.", platform::MessageIcon::error,
            audio->lastError().c_str());
        exitCode = exitNoAudio;
    } else if (loadResult > 0 && musicPlayer.musicHandle == 0) {
        const std::string cause = std::string("cannot play ") + modulePath + ": " + audio->lastError();
        platform::showMessage("ERROR", "Can't Play The Music.", platform::MessageIcon::error, cause.c_str());
        exitCode = exitNoMusic;
    }
    glWindow->killWindow();
    shutdownDemo(exitCode);
}

} // namespace

int main(int argc, char** argv)
{
    audio = std::make_unique<platform::WebAudioBackend>();
    if (const int fps = framesPerSecondOf(argc, argv); fps > 0) {
        frameClock = std::make_unique<VirtualClock>(FrameTiming(fps, 44100));
        platform::setClock(frameClock.get());
        audio->followFrames(fps, [] { return frameClock->frames(); });
    }
    musicPlayer.setBackend(audio.get());

    glWindow->setTitle("zent.vorimel");
    glWindow->setFullscreen(argc > 1 && std::strcmp(argv[1], "fullscreen") == 0 ? 1 : 0);
    if (!glWindow->createWindow(
            glWindow->title(), glWindow->width(), glWindow->height(), 32, glWindow->isFullscreen()))
        return exitNoDisplay;

    while (!loaded) {
        if (!mainLoopPass()) {
            endDemo();
            return 0;
        }
    }
    platform::runFrameLoop(nextFrame, endDemo);
    return 0;
}
