// What both audio backends keep alike, checked on each: handles that a new module
// makes stale, a refused file, and the volume applied to every sample handed out.
#include "platform/audio/openmpt/OfflineAudioBackend.h"
#include "platform/audio/openmpt/RealTimeAudioBackend.h"

#include "support/FakeAudioDevice.h"
#include "support/TestFolder.h"
#include "support/TestModule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using testing_support::FakeAudioDevice;

constexpr int rate = 44100;

// A backend with its device open, and the means to take the next samples it hands out.
struct Opened {
    std::unique_ptr<platform::AudioBackend> backend;
    std::function<std::vector<float>()> take;
};

struct Kind {
    const char* name;
    std::function<Opened()> open;
};

std::vector<Kind> kinds()
{
    const auto realTime = [] {
        auto fake = std::make_unique<FakeAudioDevice>(512, 1024);
        FakeAudioDevice* device = fake.get();
        Opened opened { std::make_unique<platform::RealTimeAudioBackend>(std::move(fake)), [device] {
                           device->advance(0.1);
                           return device->lastBuffer();
                       } };
        EXPECT_TRUE(opened.backend->openDevice(rate));
        return opened;
    };
    const auto offline = [] {
        auto backend = std::make_unique<platform::OfflineAudioBackend>();
        platform::OfflineAudioBackend* offline = backend.get();
        Opened opened { std::move(backend), [offline] {
                           std::vector<float> samples(2 * 4410);
                           offline->takeFrames(samples.data(), 4410);
                           return samples;
                       } };
        EXPECT_TRUE(opened.backend->openDevice(rate));
        return opened;
    };
    return { { "real-time", realTime }, { "offline", offline } };
}

// Plays the module from its start at the given volume; the first samples handed out.
std::vector<float> playAt(const Kind& kind, const std::string& module, int volume)
{
    Opened opened = kind.open();
    platform::AudioBackend& backend = *opened.backend;
    backend.setVolume(volume);
    const uint32_t handle = backend.loadModule(module.c_str());
    backend.play(handle);
    backend.startOutput();
    backend.playFrom(handle, 0, true);
    return opened.take();
}

// Every test has the test module written in a folder of its own.
class ModuleBackend : public ::testing::Test {
protected:
    const testsupport::TestFolder folder;
    const std::string module
        = folder.write("module.it", testing_support::makeTestModule(testing_support::TestModuleLayout {}));
};

TEST_F(ModuleBackend, AReplacedModulesHandleAndTheZeroHandleDoNothing)
{
    for (const Kind& kind : kinds()) {
        SCOPED_TRACE(kind.name);
        Opened opened = kind.open();
        platform::AudioBackend* backend = opened.backend.get();
        const uint32_t first = backend->loadModule(module.c_str());
        const uint32_t second = backend->loadModule(module.c_str());
        ASSERT_NE(first, 0u);
        ASSERT_NE(second, 0u);
        ASSERT_NE(first, second);
        backend->startOutput();
        backend->setPositionScaler(second, 12);
        backend->playFrom(second, platform::packPosition(2, 5), true);
        opened.take();
        for (const uint32_t stale : { first, 0u }) {
            backend->play(stale);
            backend->setPositionScaler(stale, 3);
            EXPECT_EQ(backend->position(stale), 0u);
            EXPECT_TRUE(backend->ended(stale));
            std::vector<float> magnitudes(platform::spectrumBins, 1.0f);
            backend->spectrum(stale, magnitudes.data());
            EXPECT_TRUE(std::all_of(magnitudes.begin(), magnitudes.end(), [](float m) { return m == 0.0f; }));
        }
        // the scaler set through the stale handle did not reach the module
        EXPECT_EQ(platform::orderOf(backend->position(second)), 2);
        EXPECT_EQ(platform::rowOf(backend->position(second), 12), 5);
        EXPECT_FALSE(backend->ended(second));
    }
}

TEST_F(ModuleBackend, AFileThatIsNoModuleIsRefusedByNameAndTheLoadedOneStays)
{
    const std::string junk = folder.write("junk.it", { 'n', 'o', 'p', 'e' });
    for (const Kind& kind : kinds()) {
        SCOPED_TRACE(kind.name);
        Opened opened = kind.open();
        platform::AudioBackend* backend = opened.backend.get();
        const uint32_t handle = backend->loadModule(module.c_str());
        EXPECT_EQ(backend->loadModule(junk.c_str()), 0u);
        EXPECT_EQ(backend->lastError().rfind(junk + ": not a module", 0), 0u) << backend->lastError();
        EXPECT_FALSE(backend->ended(handle));
    }
}

TEST_F(ModuleBackend, TheVolumeScalesEverySampleHandedOut)
{
    for (const Kind& kind : kinds()) {
        SCOPED_TRACE(kind.name);
        const std::vector<float> full = playAt(kind, module, 100);
        const std::vector<float> half = playAt(kind, module, 50);
        const std::vector<float> loud = playAt(kind, module, 250); // taken as 100
        ASSERT_EQ(full.size(), half.size());
        ASSERT_TRUE(std::any_of(full.begin(), full.end(), [](float s) { return s != 0.0f; })) << "silent";
        for (size_t i = 0; i < full.size(); ++i) {
            ASSERT_EQ(half[i], full[i] * 0.5f) << "sample " << i;
            ASSERT_EQ(loud[i], full[i]) << "sample " << i;
        }
    }
}

} // namespace
