// The demo's own module, data/mordel.it, played offline and through SDL's dummy driver.
#include "platform/ModuleRenderer.h"
#include "platform/SdlAudioBackend.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using platform::ModuleRenderer;

constexpr const char* modulePath = "data/mordel.it";
constexpr int rate = 44100;
constexpr int orders = 15;

// Renders chunk by chunk to the end, noting each order with the row it first shows.
std::vector<std::pair<int, int>> ordersToTheEnd(ModuleRenderer& renderer)
{
    std::vector<std::pair<int, int>> seen;
    std::vector<float> buffer(2 * ModuleRenderer::chunkFrames);
    while (!renderer.ended() && renderer.renderedFrames() < uint64_t{rate} * 600) {
        const uint64_t first = renderer.renderedFrames();
        renderer.render(buffer.data(), ModuleRenderer::chunkFrames);
        const platform::ModulePosition position = renderer.positionAt(first);
        if (seen.empty() || seen.back().first != position.order) {
            seen.emplace_back(position.order, position.row);
        }
    }
    return seen;
}

TEST(ModuleRendererOnRealModule, PlaysOrdersZeroToFourteenInSequence)
{
    ModuleRenderer renderer(rate);
    ASSERT_TRUE(renderer.loadFile(modulePath)) << renderer.lastError();
    const std::vector<std::pair<int, int>> seen = ordersToTheEnd(renderer);
    ASSERT_EQ(seen.size(), static_cast<size_t>(orders));
    for (int order = 0; order < orders; ++order) {
        EXPECT_EQ(seen[order], std::make_pair(order, 0)) << "the " << order << "th order played";
    }
}

TEST(ModuleRendererOnRealModule, SeekToOrderFiveRowZeroTakesEffect)
{
    ModuleRenderer renderer(rate);
    ASSERT_TRUE(renderer.loadFile(modulePath)) << renderer.lastError();
    std::vector<float> buffer(2 * rate);
    renderer.render(buffer.data(), rate);
    ASSERT_TRUE(renderer.seek(5, 0));
    const std::vector<std::pair<int, int>> seen = ordersToTheEnd(renderer);
    ASSERT_EQ(seen.size(), static_cast<size_t>(orders - 5));
    EXPECT_EQ(seen.front(), std::make_pair(5, 0));
    EXPECT_EQ(seen.back().first, orders - 1);
    EXPECT_FALSE(renderer.seek(orders, 0)); // past the end
}

TEST(SdlAudioBackendOnDummyDriver, PlaysInRealTimeAndTheOrderAdvances)
{
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    platform::SdlAudioBackend backend;
    ASSERT_TRUE(backend.openDevice(rate)) << backend.lastError();
    backend.setVolume(100);
    const uint32_t handle = backend.loadModule(modulePath);
    ASSERT_NE(handle, 0u) << backend.lastError();
    backend.play(handle);
    backend.startOutput();
    backend.setPositionScaler(handle, 12);
    backend.playFrom(handle, 0, true);
    backend.play(handle);
    // near the end of order 5 (32-row patterns), then wait to hear order 6
    ASSERT_EQ(backend.setPosition(handle, 5 | (28u << 16)), 1);
    uint64_t last = 0;
    bool reachedNext = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!reachedNext && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        backend.update();
        const uint64_t position = backend.position(handle);
        const uint64_t key = ((position & 0xFFFFu) << 16) | (position >> 16);
        ASSERT_GE(key, last) << "the heard position went backwards";
        last = (position & 0xFFFFu) >= 5 ? key : 0;
        reachedNext = (position & 0xFFFFu) == 6;
    }
    EXPECT_TRUE(reachedNext);
    EXPECT_EQ(backend.setPosition(handle, orders), 0);
    backend.closeDevice();
}

TEST(SdlAudioBackendOnDummyDriver, MissingDriverMeansNoUsableDevice)
{
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    platform::SdlAudioBackend backend;
    EXPECT_FALSE(backend.openDevice(rate));
    EXPECT_FALSE(backend.lastError().empty());
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_TRUE(backend.openDevice(rate)) << backend.lastError();
}

} // namespace
