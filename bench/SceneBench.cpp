// Prints the median time of one frame of each scene, drawn headless at 640x480, for
// both feedback alphas, next to the median of an empty frame (clear plus present) on
// the same run, and the peak resident memory once each scene has run. Run it from the
// build folder, where data/ lies.
// Usage: scene_bench [FRAMES [SCENE]]: FRAMES per scene (default 300); SCENE draws only
// that scene, with variant a (for profiling one scene).
//        scene_bench --heights H,H,... [FRAMES]: variant a at each frame height (4H/3 x H),
// each scene beside the empty frame of that size.
#include "platform/GLSurface.h"
#include "render/Effect.h"
#include "render/FeedbackLayer.h"
#include "render/FrameResizer.h"
#include "render/GLWindow.h"
#include "render/SceneRegistry.h"
#include "support/GLTestContext.h"
#include "support/SceneHarness.h"

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

using testsupport::TimelineScene;
using testsupport::timelineScenes;

int frames = 300;
constexpr float frameSeconds = 1.0f / 60.0f; // scene time per frame

// Median milliseconds of `frames` frames of the scene (null: the empty frame, clear and
// present): the drawing, the present, and a finish so that the rasteriser's work is
// inside the figure. Rows run four frames each, so the beat rows and the row-driven cuts
// come round as in the music.
double medianFrameMs(testsupport::SceneHarness& harness, Effect* scene, int order)
{
    std::vector<double> ms;
    ms.reserve(frames);
    for (int frame = 0; frame < frames; ++frame) {
        const int row = frame / 4 % 32;
        const float level = 0.01f * static_cast<float>(row % 4);
        const float t = static_cast<float>(frame) * frameSeconds;

        const auto start = std::chrono::steady_clock::now();
        if (scene) {
            harness.drawFrame(*scene, order, row, t, level);
        } else {
            glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        glWindow->surface()->present();
        glFinish();
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        ms.push_back(elapsed.count());
    }
    std::nth_element(ms.begin(), ms.begin() + frames / 2, ms.end());
    return ms[frames / 2];
}

// The scene's median, from its load and entry to its release.
double sceneFrameMs(testsupport::SceneHarness& harness, const TimelineScene& timelineScene)
{
    std::unique_ptr<Effect> scene = timelineScene.make();
    scene->load();
    scene->enter();
    const double ms = medianFrameMs(harness, scene.get(), timelineScene.order);
    scene->leave();
    scene->release();
    return ms;
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
    const std::vector<TimelineScene>& scenes = timelineScenes();
    std::vector<double> empty;
    std::vector<std::vector<double>> ms(scenes.size());
    for (const int height : heights) {
        std::string error;
        if (!setFrameHeight(height, error)) {
            std::fprintf(stderr, "height %d: %s\n", height, error.c_str());
            return 1;
        }
        testsupport::SceneHarness harness(0.65f);
        empty.push_back(medianFrameMs(harness, nullptr, 0));
        for (size_t i = 0; i < scenes.size(); ++i)
            ms[i].push_back(sceneFrameMs(harness, scenes[i]));
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
    for (size_t i = 0; i < scenes.size(); ++i) {
        std::printf("%-24s", scenes[i].name);
        for (size_t h = 0; h < heights.size(); ++h)
            std::printf(" %8.1f (%5.0f)", ms[i][h], ms[i][h] / empty[h]);
        std::printf("\n");
    }
    std::printf("peak resident memory %ld MB\n", peakResidentMb());
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
    if (!heights.empty())
        return benchHeights(heights);

    testsupport::SceneHarness harness(0.65f);
    const double empty = medianFrameMs(harness, nullptr, 0);

    struct Result {
        const char* name;
        double ms[2]; // variant a, variant b
        long peakMb;  // the process's peak resident memory once the scene has run
    };
    const float alphas[2] = { 0.65f, 0.99f };
    std::vector<Result> results;
    for (const TimelineScene& scene : timelineScenes()) {
        if (!only.empty() && only != scene.name)
            continue;
        Result result { scene.name, { 0.0, 0.0 }, 0 };
        for (int variant = 0; variant < (only.empty() ? 2 : 1); ++variant) {
            feedbackLayer->setColor(1.0f, 1.0f, 1.0f, alphas[variant]);
            result.ms[variant] = sceneFrameMs(harness, scene);
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
    return 0;
}
