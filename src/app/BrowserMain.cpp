// The entry point in a browser. The page's two buttons answered "fullscreen?" (the
// argument "fullscreen" or "window") and their click started the sound; the loading
// runs as on the desktop, its pauses handing the page back to the browser, and then
// the browser calls the loop once per display refresh.
#include "app/Loader.h"
#include "app/MainLoop.h"
#include "app/ShellState.h"
#include "app/Shutdown.h"
#include "music/MusicPlayer.h"
#include "platform/AudioFactory.h"
#include "platform/FrameLoop.h"
#include "platform/MessageBox.h"
#include "render/GLWindow.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int exitNoDisplay = 1;
constexpr int exitNoAudio = 2;
constexpr int exitNoMusic = 3;

std::unique_ptr<platform::AudioBackend> audio;

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
    audio = platform::createRealTimeAudioBackend();
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
    platform::runFrameLoop(mainLoopFrame, endDemo);
    return 0;
}
