// Prints the median time of one frame of each scene, drawn headless at 640x480,
// next to the median of an empty frame (clear plus present) on the same run. Run it
// from the build folder, where data/ lies.
#include "music/MusicPlayer.h"
#include "platform/GLSurface.h"
#include "render/FeedbackLayer.h"
#include "render/GLWindow.h"
#include "render/SceneRegistry.h"
#include "scenes/CubeRingEffect.h"
#include "scenes/FlashingLatticeEffect.h"
#include "scenes/LatticeStripsEffect.h"
#include "scenes/SpinningSolidsEffect.h"
#include "scenes/VertexRingEffect.h"
#include "support/GLTestContext.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int frames = 300;
constexpr float frameSeconds = 1.0f / 60.0f; // scene time per frame

struct BenchScene {
    const char* name;
    std::function<std::unique_ptr<Effect>()> make;
    int order; // a music order the scene plays in
};

template <class Scene>
std::unique_ptr<Effect> make()
{
    return std::make_unique<Scene>();
}

// One line per scene.
const BenchScene benchScenes[] = {
    {"SpinningSolidsEffect",  make<SpinningSolidsEffect>,  0},
    {"VertexRingEffect",      make<VertexRingEffect>,      5},
    {"CubeRingEffect",        make<CubeRingEffect>,        7},
    {"LatticeStripsEffect",   make<LatticeStripsEffect>,   9},
    {"FlashingLatticeEffect", make<FlashingLatticeEffect>, 11},
};

testsupport::ScriptedBackend backend;

// Median milliseconds of `frames` frames: the drawing, the present, and a finish so
// that the rasteriser's work is inside the figure. Rows run four frames each, so the
// beat rows and the row-driven cuts come round as in the music.
double medianFrameMs(int order, const std::function<void(float)>& drawFrame)
{
    std::vector<double> ms;
    ms.reserve(frames);
    for (int frame = 0; frame < frames; ++frame) {
        const int row = frame / 4 % 32;
        backend.setOrderRow(order, row);
        backend.level = 0.01f * static_cast<float>(row % 4);
        musicPlayer.update();

        const auto start = std::chrono::steady_clock::now();
        drawFrame(static_cast<float>(frame) * frameSeconds);
        glWindow->surface()->present();
        glFinish();
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        ms.push_back(elapsed.count());
    }
    std::nth_element(ms.begin(), ms.begin() + frames / 2, ms.end());
    return ms[frames / 2];
}

} // namespace

int main()
{
    std::string error;
    if (!testsupport::ensureGLContext(error)) {
        std::fprintf(stderr, "no headless GL context: %s\n", error.c_str());
        return 1;
    }
    musicPlayer.setBackend(&backend);
    musicPlayer.positionScaler = 12;

    // What the program has set up when its scenes draw.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1.0, 1.0, -1.0, 1.0, 1.0, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    feedbackLayer->load();
    feedbackLayer->setColor(1.0f, 1.0f, 1.0f, 0.65f);

    const double empty = medianFrameMs(0, [](float) {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    });

    std::vector<std::pair<const char*, double>> results;
    for (const BenchScene& benchScene : benchScenes) {
        std::unique_ptr<Effect> scene = benchScene.make();
        scene->load();
        scene->enter();
        results.emplace_back(benchScene.name, medianFrameMs(benchScene.order, [&](float t) { scene->draw(t); }));
        scene->leave();
        scene->release();
    }

    std::printf("\nmedian ms per frame, 640x480 headless, %d frames each\n", frames);
    std::printf("%-24s %8.3f\n", "empty frame", empty);
    for (const auto& [name, ms] : results)
        std::printf("%-24s %8.3f  (%.1f x empty)\n", name, ms, ms / empty);
    feedbackLayer->release();
    return 0;
}
