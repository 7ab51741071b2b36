// Shutdown in the demo's order. The window is gone by now, so GL calls made by the
// release operations find no context and do nothing.
#include "app/Shutdown.h"

#include "music/MusicPlayer.h"
#include "render/Effect.h"
#include "render/SceneRegistry.h"

#include <cstdio>
#include <cstdlib>

void releaseDemo()
{
    musicPlayer.shutdown();
    for (Effect* instance : registryInReleaseOrder())
        if (instance)
            instance->release();
    deleteRegistry();
}

void shutdownDemo(int exitCode)
{
    releaseDemo();
    std::fflush(stdout);
    std::exit(exitCode);
}
