// Shutdown in the demo's order. The window is gone by now, so GL calls made by the
// release operations find no context and do nothing.
#include "app/Shutdown.h"

#include "app/Registry.h"
#include "music/MusicPlayer.h"
#include "render/Effect.h"

#include <cstdio>
#include <cstdlib>

void releaseDemo()
{
    musicPlayer.shutdown();
    for (const RegistryEntry& row : registry)
        if (Effect* instance = row.instance())
            instance->release();
    for (const RegistryEntry& row : registry)
        row.destroy();
}

void shutdownDemo(int exitCode)
{
    releaseDemo();
    std::fflush(stdout);
    std::exit(exitCode);
}
