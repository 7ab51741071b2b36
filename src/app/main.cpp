// The entry point: title, the fullscreen question, the window, the loop, the shutdown.
#include "app/Loader.h"
#include "app/MainLoop.h"
#include "app/Shutdown.h"
#include "music/MusicPlayer.h"
#include "platform/MessageBox.h"
#include "platform/SdlAudioBackend.h"
#include "render/GLWindow.h"

#include <cstdio>
#include <string>

namespace {

constexpr int exitNoDisplay = 1;
constexpr int exitNoAudio = 2;
constexpr int exitNoMusic = 3;

} // namespace

int main()
{
    platform::SdlAudioBackend audio;
    musicPlayer.setBackend(&audio);

    glWindow->setTitle("zent.vorimel");
    const platform::Answer answer =
        platform::askYesNo(glWindow->title(), "fullscreen?", platform::MessageIcon::question);
    if (answer == platform::Answer::failed) {
        std::fprintf(stderr, "vorimel: no display: the \"fullscreen?\" question could not be shown"
                             " (run it on a desktop, or under xvfb-run)\n");
        return exitNoDisplay;
    }
    glWindow->setFullscreen(answer == platform::Answer::no ? 0 : 1);

    if (!glWindow->createWindow(glWindow->title(), glWindow->width(), glWindow->height(), 32,
                                glWindow->isFullscreen()))
        return exitNoDisplay;

    runMainLoop();

    int exitCode = 0;
    if (loadResult < 0) {
        const std::string cause = audio.lastError() + "; SDL_AUDIODRIVER=dummy runs the demo silently";
        platform::showMessage("ERROR", "Can't Initialise The Audio Device.", platform::MessageIcon::error,
                              cause.c_str());
        exitCode = exitNoAudio;
    } else if (loadResult > 0 && musicPlayer.musicHandle == 0) {
        // the demo ended on its first frame: there was no music to cut it to
        const std::string cause = std::string("cannot play ") + modulePath + ": " + audio.lastError();
        platform::showMessage("ERROR", "Can't Play The Music.", platform::MessageIcon::error, cause.c_str());
        exitCode = exitNoMusic;
    }
    glWindow->killWindow();
    shutdownDemo(exitCode);
}
