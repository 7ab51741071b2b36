// Prints the median time of one frame of each scene, drawn headless at 640x480, for
// both feedback alphas, next to the median of an empty frame (clear plus present) on
// the same run, and the peak resident memory once each scene has run. Run it from the
// build folder, where data/ lies.
// Usage: scene_bench [FRAMES [SCENE]]: FRAMES per scene (default 300); SCENE draws only
// that scene, with variant a (for profiling one scene).
//        scene_bench --heights H,H,... [FRAMES]: variant a at each frame height (4H/3 x H),
// each scene beside the empty frame of that size.
#include "music/MusicPlayer.h"
#include "platform/GLSurface.h"
#include "render/FeedbackLayer.h"
#include "render/FrameResizer.h"
#include "render/GLWindow.h"
#include "render/SceneRegistry.h"
#include "scenes/CubeRingEffect.h"
#include "scenes/FlashingLatticeEffect.h"
#include "scenes/LatticeStripsEffect.h"
#include "scenes/SpinningSolidsEffect.h"
#include "scenes/VertexRingEffect.h"
#include "support/GLTestContext.h"
#include "support/ScriptedBackend.h"

#include "platform/GL.h"
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

int frames = 300;
constexpr float frameSeconds = 1.0f / 60.0f; // scene time per frame

struct BenchScene {
    const char* name;
    std::function<std::unique_ptr<Effect>()> make;
    int order; // a music order the scene plays in
};

template <class Scene> std::unique_ptr<Effect> make()
{
    return std::make_unique<Scene>();
}

// One line per scene.
const BenchScene benchScenes[] = {
    // clang-format off
    {"SpinningSolidsEffect",  make<SpinningSolidsEffect>,  0},
    {"VertexRingEffect",      make<VertexRingEffect>,      5},
    {"CubeRingEffect",        make<CubeRingEffect>,        7},
    {"LatticeStripsEffect",   make<LatticeStripsEffect>,   9},
    {"FlashingLatticeEffect", make<FlashingLatticeEffect>, 11},
    // clang-format on
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

long peakResidentMb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// One column per height: the empty frame, then each scene in ms and as a multiple of
// the empty frame of the same size.
int benchHeights(const std::vector<int>& heights)
{
    feedbackLayer->setColor(1.0f, 1.0f, 1.0f, 0.65f);
    std::vector<double> empty;
    std::vector<std::vector<double>> ms(std::size(benchScenes));
    for (const int height : heights) {
        std::string error;
        if (!setFrameHeight(height, error)) {
            std::fprintf(stderr, "height %d: %s\n", height, error.c_str());
            return 1;
        }
        empty.push_back(medianFrameMs(0, [](float) {
            glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
            glClear(GL_COLOR_BUFFER_BIT);
        }));
        for (size_t i = 0; i < std::size(benchScenes); ++i) {
            std::unique_ptr<Effect> scene = benchScenes[i].make();
            scene->load();
            scene->enter();
            ms[i].push_back(medianFrameMs(benchScenes[i].order, [&](float t) { scene->draw(t); }));
            scene->leave();
            scene->release();
        }
    }

    std::printf("\nmedian ms per frame (x empty frame of the same size), vorimel, headless, %d frames each\n",
        frames);
    std::printf("%-24s", "height");
    for (const int height : heights)
        std::printf(" %16d", height);
    std::printf("\n%-24s", "empty frame");
    for (const double e : empty)
        std::printf(" %16.3f", e);
    std::printf("\n");
    for (size_t i = 0; i < std::size(benchScenes); ++i) {
        std::printf("%-24s", benchScenes[i].name);
        for (size_t h = 0; h < heights.size(); ++h)
            std::printf(" %8.1f (%5.0f)", ms[i][h], ms[i][h] / empty[h]);
        std::printf("\n");
    }
    std::printf("peak resident memory %ld MB\n", peakResidentMb());
    feedbackLayer->release();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> heights;
    if (argc > 2 && std::string(argv[1]) == "--heights") {
        for (const char* p = argv[2]; *p;) {
            char* end = nullptr;
            heights.push_back(static_cast<int>(std::strtol(p, &end, 10)));
            p = *end == ',' ? end + 1 : end;
            if (end == p && *p)
                break;
        }
        frames = argc > 3 ? std::max(1, std::atoi(argv[3])) : 60;
        argc = 1;
    }
    if (argc > 1)
        frames = std::max(1, std::atoi(argv[1]));
    const std::string only = argc > 2 ? argv[2] : "";

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
    if (!heights.empty())
        return benchHeights(heights);

    const double empty = medianFrameMs(0, [](float) {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    });

    struct Result {
        const char* name;
        double ms[2]; // variant a, variant b
        long peakMb;  // the process's peak resident memory once the scene has run
    };
    const float alphas[2] = { 0.65f, 0.99f };
    std::vector<Result> results;
    for (const BenchScene& benchScene : benchScenes) {
        if (!only.empty() && only != benchScene.name)
            continue;
        Result result { benchScene.name, { 0.0, 0.0 }, 0 };
        for (int variant = 0; variant < (only.empty() ? 2 : 1); ++variant) {
            feedbackLayer->setColor(1.0f, 1.0f, 1.0f, alphas[variant]);
            std::unique_ptr<Effect> scene = benchScene.make();
            scene->load();
            scene->enter();
            result.ms[variant] = medianFrameMs(benchScene.order, [&](float t) { scene->draw(t); });
            scene->leave();
            scene->release();
        }
        result.peakMb = peakResidentMb();
        results.push_back(result);
    }

    std::printf("\nmedian ms per frame, 640x480 headless, %d frames each\n", frames);
    std::printf("%-24s %10s %10s %10s %8s\n", "", "vorimel", "vorimel_b", "x empty", "peak MB");
    std::printf("%-24s %10.3f\n", "empty frame", empty);
    for (const Result& result : results)
        std::printf("%-24s %10.3f %10.3f %10.1f %8ld\n", result.name, result.ms[0], result.ms[1],
            result.ms[0] / empty, result.peakMb);
    feedbackLayer->release();
    return 0;
}
