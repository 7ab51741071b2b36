// Shutdown in the demo's order. The window is gone by now, so GL calls made by the
// release operations find no context and do nothing.
#include "app/Shutdown.h"

#include "app/Instances.h"
#include "app/Loader.h"
#include "app/ShellState.h"
#include "music/MusicPlayer.h"
#include "platform/MessageBox.h"
#include "render/Effect.h"
#include "render/GLWindow.h"

#include <cstdio>
#include <cstdlib>

void releaseDemo()
{
    musicPlayer.shutdown();
    for (const InstanceRow& row : instances)
        if (Effect* instance = row.instance())
            instance->release();
    for (const InstanceRow& row : instances)
        row.destroy();
}

void shutdownDemo(int exitCode)
{
    releaseDemo();
    std::fflush(stdout);
    std::exit(exitCode);
}

void endDemo(const std::string& audioError, const std::string& hint)
{
    int exitCode = 0;
    if (loadResult < 0) {
        const std::string cause = audioError + hint;
        platform::showMessage(
            "ERROR", "Can't Initialise The Audio Device.", platform::MessageIcon::error, cause.c_str());
        exitCode = exitNoAudio;
    } else if (loadResult > 0 && musicPlayer.musicHandle == 0) {
        // the demo ended on its first frame: there was no music to cut it to
        const std::string cause = std::string("cannot play ") + modulePath + ": " + audioError;
        platform::showMessage("ERROR", "Can't Play The Music.", platform::MessageIcon::error, cause.c_str());
        exitCode = exitNoMusic;
    }
    glWindow->killWindow();
    shutdownDemo(exitCode);
}
