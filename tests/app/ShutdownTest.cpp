// The shutdown's order: music off, every instance released, then deleted; null skipped.
#include "app/Shutdown.h"
#include "app/Instances.h"
#include "music/MusicPlayer.h"
#include "render/SceneRegistry.h"
#include "support/GLTestContext.h"
#include "support/RecordingScene.h"
#include "support/ScriptedBackend.h"

#include <gtest/gtest.h>

class Shutdown : public testsupport::GLTest { };

TEST_F(Shutdown, ReleasesAllThenDeletesAllInRegistryOrderSkippingNull)
{
    std::vector<std::string> log;
    testsupport::ScriptedBackend backend;
    musicPlayer.setBackend(&backend);
    spinningSolidsEffect = new testsupport::RecordingScene("spinning", log);
    vertexRingEffect = nullptr;
    cubeRingEffect = new testsupport::RecordingScene("cubes", log);
    latticeStripsEffect = nullptr;
    flashingLatticeEffect = new testsupport::RecordingScene("flashing", log);

    releaseDemo();

    EXPECT_EQ(backend.calls, (std::vector<std::string> { "closeDevice" }));
    EXPECT_EQ(log,
        (std::vector<std::string> { "spinning.release", "cubes.release", "flashing.release",
            "spinning.delete", "cubes.delete", "flashing.delete" }));
    for (const InstanceRow& row : instances)
        EXPECT_EQ(row.instance(), nullptr);
}
