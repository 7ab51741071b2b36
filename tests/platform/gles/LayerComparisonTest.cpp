// The demo captured natively (GL 1.1) and through the fixed-function layer on Mesa's
// GLES2, at the same music times, compared frame by frame: the peak signal-to-noise
// ratio of every scene (the loading screen counted as one) must stay above a floor.
// At 480 lines as the demo was drawn, and at 720, where the layer's frame is made anew
// and every size in pixels is scaled. Prints the minimum and mean PSNR per scene.
#include "app/Instances.h"
#include "music/TimelineState.h"
#include "platform/audio/openmpt/ModuleRenderer.h"
#include "render/Effect.h"
#include "support/TestFolder.h"

#include <cxxabi.h>
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

// Measured on llvmpipe: no scene's worst frame below 47.8 dB at 480 and 48.4 dB at 720;
// saturate blending taken as plain source alpha drops four scenes to 12-31 dB.
// Identical frames count as 99 dB.
constexpr double psnrFloor = 40.0;
constexpr int fps = 2; // 10 to 30 frames a scene, each at n/fps seconds of music
constexpr int sampleRate = 44100;

std::string capture(const std::string& program, int height, const std::string& folder)
{
    const std::string log = folder + ".log";
    const std::string command = program + " --fps " + std::to_string(fps) + " --height "
        + std::to_string(height) + " --loading --frames " + folder + " > " + log + " 2>&1";
    if (std::system(command.c_str()) != 0)
        return {};
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// "N frames (M of the demo": the first N - M frames are the loading screen.
bool framesOf(const std::string& summary, int& total, int& demo)
{
    const size_t at = summary.rfind(" frames (");
    if (at == std::string::npos)
        return false;
    const size_t start = summary.rfind(' ', at - 1) + 1;
    total = std::atoi(summary.c_str() + start);
    demo = std::atoi(summary.c_str() + at + 9);
    return total > 0 && demo > 0;
}

std::vector<uint8_t> readRgb(const std::string& path)
{
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        return {};
    return pixels;
}

double psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    double sum = 0.0;
    for (size_t i = 0; i < a.size(); ++i) {
        const double d = static_cast<double>(a[i]) - b[i];
        sum += d * d;
    }
    if (sum == 0.0)
        return 99.0;
    return 10.0 * std::log10(255.0 * 255.0 * a.size() / sum);
}

std::string frameName(int n)
{
    char name[32];
    std::snprintf(name, sizeof name, "/%06d.png", n);
    return name;
}

std::string sceneName(const Effect* scene)
{
    int status = 0;
    char* name = abi::__cxa_demangle(typeid(*scene).name(), nullptr, nullptr, &status);
    std::string result = status == 0 ? name : typeid(*scene).name();
    std::free(name);
    return result;
}

// Timeline entry per demo frame, from the music order at the frame's time.
std::vector<int> sceneOfFrames(int demoFrames)
{
    platform::ModuleRenderer music(sampleRate);
    if (!music.loadFile("data/mordel.it"))
        return {};
    std::vector<int> scenes;
    std::vector<float> buffer(2 * platform::ModuleRenderer::chunkFrames);
    for (int n = 0; n < demoFrames; ++n) {
        const uint64_t sample = static_cast<uint64_t>(n) * sampleRate / fps;
        while (music.renderedFrames() <= sample)
            music.render(buffer.data(), platform::ModuleRenderer::chunkFrames);
        const int order = music.positionAt(sample).order;
        int entry = 0;
        while (entry + 1 < timelineCount && timeline[entry + 1].order <= order)
            ++entry;
        scenes.push_back(entry);
    }
    return scenes;
}

class LayerComparison : public testing::TestWithParam<int> { };

TEST_P(LayerComparison, EverySceneMatchesTheNativeFramesAboveTheFloor)
{
    const int height = GetParam();
    // the registry's instances name the timeline's scenes (and link their creation in)
    ASSERT_FALSE(instances.empty());
    const testsupport::TestFolder files;
    const std::string& folder = files.path();
    const std::string native = capture(VORIMEL_CAPTURE, height, folder + "/native");
    const std::string layer = capture(VORIMEL_CAPTURE_GLES, height, folder + "/layer");
    int total = 0, demo = 0, layerTotal = 0, layerDemo = 0;
    ASSERT_TRUE(framesOf(native, total, demo)) << native;
    ASSERT_TRUE(framesOf(layer, layerTotal, layerDemo)) << layer;
    ASSERT_EQ(total, layerTotal);
    ASSERT_EQ(demo, layerDemo);
    const std::vector<int> scenes = sceneOfFrames(demo);
    ASSERT_EQ(static_cast<int>(scenes.size()), demo);

    struct Figures {
        int frames = 0;
        double min = 99.0;
        double sum = 0.0;
    };
    std::map<int, Figures> byScene; // -1: the loading screen
    const int loading = total - demo;
    for (int n = 0; n < total; ++n) {
        const std::vector<uint8_t> a = readRgb(folder + "/native" + frameName(n));
        const std::vector<uint8_t> b = readRgb(folder + "/layer" + frameName(n));
        ASSERT_FALSE(a.empty()) << "frame " << n;
        ASSERT_EQ(a.size(), b.size()) << "frame " << n;
        const double value = psnr(a, b);
        Figures& f = byScene[n < loading ? -1 : scenes[n - loading]];
        ++f.frames;
        f.min = std::min(f.min, value);
        f.sum += value;
    }

    std::printf("PSNR of the layer's frames against native GL, %d lines, %d fps:\n", height, fps);
    for (const auto& [entry, f] : byScene) {
        const std::string name = entry < 0 ? "loading screen" : sceneName(timeline[entry].scene);
        std::printf("  %-24s %3d frames  min %6.2f dB  mean %6.2f dB\n", name.c_str(), f.frames, f.min,
            f.sum / f.frames);
        EXPECT_GE(f.min, psnrFloor) << name;
    }
    EXPECT_EQ(byScene.size(), static_cast<size_t>(timelineCount + 1)) << "a scene was never captured";
}

INSTANTIATE_TEST_SUITE_P(Heights, LayerComparison, testing::Values(480, 720));

} // namespace
