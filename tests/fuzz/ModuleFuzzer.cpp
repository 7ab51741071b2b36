// Feeds arbitrary bytes as the module file the whole way a module goes in the demo:
// written to a file (one in memory, opened by its /proc path, so that no run leaves a
// file behind, however it ends), loaded through the backends' loading path, and played by the
// music player over the offline backend and over the real-time backend on a scripted
// device, with the position and spectrum read every video frame as the scenes read
// them, a Space skip and a jump. A position outside the module's orders, a spectrum
// level that is no number or a sanitizer report ends the run.
#include "music/MusicPlayer.h"
#include "platform/audio/openmpt/ModuleRenderer.h"
#include "platform/audio/openmpt/OfflineAudioBackend.h"
#include "platform/audio/openmpt/RealTimeAudioBackend.h"
#include "support/FakeAudioDevice.h"

#include <libopenmpt/libopenmpt.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int rate = 44100;
constexpr int fps = 60;
constexpr int framesPlayed = 2 * fps; // seconds of music per backend
constexpr int samplesPerFrame = rate / fps;

int moduleFile = -1;
std::string modulePath; // the file's name for open(): /proc/self/fd/N

[[noreturn]] void fault(const char* what, int order, int row)
{
    std::fprintf(stderr, "module fuzzer: %s (order %d, row %d)\n", what, order, row);
    std::abort();
}

bool writeModuleFile(const uint8_t* data, size_t size)
{
    if (::ftruncate(moduleFile, 0) != 0)
        return false;
    size_t written = 0;
    while (written < size) {
        const ssize_t n = ::pwrite(moduleFile, data + written, size - written, static_cast<off_t>(written));
        if (n <= 0)
            break;
        written += static_cast<size_t>(n);
    }
    return written == size;
}

// What the module holds, as libopenmpt reads it: the bounds every reported position
// must keep.
struct Layout {
    int orders = 0;
    std::vector<int> rowsOfOrder; // 0 for a skip or end marker
};

Layout layoutOf(const uint8_t* data, size_t size)
{
    Layout layout;
    openmpt_module* module = openmpt_module_create_from_memory2(data, size, openmpt_log_func_silent, nullptr,
        openmpt_error_func_ignore, nullptr, nullptr, nullptr, nullptr);
    if (module == nullptr)
        return layout;
    layout.orders = openmpt_module_get_num_orders(module);
    const int patterns = openmpt_module_get_num_patterns(module);
    for (int order = 0; order < layout.orders; ++order) {
        const int pattern = openmpt_module_get_order_pattern(module, order);
        const bool real = pattern >= 0 && pattern < patterns;
        layout.rowsOfOrder.push_back(real ? openmpt_module_get_pattern_num_rows(module, pattern) : 0);
    }
    openmpt_module_destroy(module);
    return layout;
}

void checkFrame(MusicPlayer& player, const Layout& layout)
{
    const int order = player.order();
    const int row = player.row();
    if (order >= std::max(layout.orders, 1))
        fault("order past the module's orders", order, row);
    if (layout.orders > 0 && layout.rowsOfOrder[order] > 0 && row >= layout.rowsOfOrder[order])
        fault("row past its pattern's rows", order, row);
    if (!std::isfinite(player.spectrumLevel()))
        fault("spectrum level is no number", order, row);
}

// The frame loop as the demo drives the player: start on the first frame, then a
// position and a spectrum level a frame; Space a third of the way in, and a jump
// to a position taken from the data (perhaps one the module does not have) later.
template <typename Advance>
void play(MusicPlayer& player, platform::AudioBackend& backend, const Layout& layout, int jumpOrder,
    int jumpRow, Advance advance)
{
    if (player.init() != 0)
        fault("no device", 0, 0);
    if (player.loadModule(modulePath.c_str()) == 0) {
        if (backend.lastError().rfind(modulePath, 0) != 0)
            fault("a refused module's error does not name the file", 0, 0);
        return;
    }
    for (int frame = 0; frame < framesPlayed; ++frame) {
        if (!player.isPlaying()) {
            player.start();
            player.playModule();
            player.setPosition(0, 0);
        }
        player.update();
        checkFrame(player, layout);
        if (frame == framesPlayed / 3)
            player.setPosition(player.order() + 1, 0);
        if (frame == 2 * framesPlayed / 3)
            player.setPosition(jumpOrder, jumpRow);
        advance();
    }
    player.shutdown();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    moduleFile = ::memfd_create("vorimel-module", 0);
    if (moduleFile < 0) {
        std::perror("module fuzzer: memfd_create");
        std::abort();
    }
    modulePath = "/proc/self/fd/" + std::to_string(moduleFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!writeModuleFile(data, size))
        return 0;
    const Layout layout = layoutOf(data, size);
    const int jumpOrder = size > 0 ? data[size - 1] % (layout.orders + 2) : 0;
    const int jumpRow = size > 1 ? data[size - 2] % 80 : 0;

    {
        platform::OfflineAudioBackend offline;
        MusicPlayer player;
        player.setBackend(&offline);
        std::vector<float> samples(2 * samplesPerFrame);
        play(player, offline, layout, jumpOrder, jumpRow,
            [&] { offline.takeFrames(samples.data(), samplesPerFrame); });
    }
    {
        auto device = std::make_unique<testing_support::FakeAudioDevice>(512, 1024, 300);
        testing_support::FakeAudioDevice* fake = device.get();
        platform::RealTimeAudioBackend realTime(std::move(device));
        MusicPlayer player;
        player.setBackend(&realTime);
        play(player, realTime, layout, jumpOrder, jumpRow, [&] { fake->advance(1.0 / fps); });
    }
    return 0;
}
