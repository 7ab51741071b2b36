// The harness on the program's own instances: the feedback layer of the registry and
// the music player.
#include "support/SceneHarness.h"

#include "music/MusicPlayer.h"
#include "render/FeedbackLayer.h"
#include "render/GLWindow.h"
#include "render/SceneRegistry.h"
#include "scenes/CubeRingEffect.h"
#include "scenes/FlashingLatticeEffect.h"
#include "scenes/LatticeStripsEffect.h"
#include "scenes/SpinningSolidsEffect.h"
#include "scenes/VertexRingEffect.h"

#include "platform/GL.h"

namespace testsupport {

namespace {

template <class Scene> std::unique_ptr<Effect> make()
{
    return std::make_unique<Scene>();
}

} // namespace

const std::vector<TimelineScene>& timelineScenes()
{
    static const std::vector<TimelineScene> scenes = {
        // clang-format off
        {"SpinningSolidsEffect",  make<SpinningSolidsEffect>,  0},
        {"VertexRingEffect",      make<VertexRingEffect>,      5},
        {"CubeRingEffect",        make<CubeRingEffect>,        7},
        {"LatticeStripsEffect",   make<LatticeStripsEffect>,   9},
        {"FlashingLatticeEffect", make<FlashingLatticeEffect>, 11},
        // clang-format on
    };
    return scenes;
}

SceneHarness::SceneHarness(float feedbackAlpha)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1.0, 1.0, -1.0, 1.0, 1.0, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    feedbackLayer->release();
    feedbackLayer->load();
    feedbackLayer->setColor(1.0f, 1.0f, 1.0f, feedbackAlpha);
    musicPlayer.setBackend(&music);
    musicPlayer.positionScaler = 12;
}

SceneHarness::~SceneHarness()
{
    feedbackLayer->release();
    musicPlayer.setBackend(nullptr);
}

void SceneHarness::setMusic(int order, int row, float level)
{
    music.setOrderRow(order, row);
    music.level = level;
    musicPlayer.update();
}

void SceneHarness::drawFrame(Effect& scene, int order, int row, float seconds, float level)
{
    setMusic(order, row, level);
    glClear(GL_COLOR_BUFFER_BIT);
    scene.setMusicPosition(order, row);
    scene.draw(seconds);
}

std::vector<unsigned char> readFrame()
{
    // 4H/3 is a multiple of 8: RGB rows need no padding
    std::vector<unsigned char> frame(static_cast<size_t>(glWindow->width()) * glWindow->height() * 3);
    glReadPixels(0, 0, glWindow->width(), glWindow->height(), GL_RGB, GL_UNSIGNED_BYTE, frame.data());
    return frame;
}

} // namespace testsupport
