// Rendering goes in steps of the table's level step: after each, the rows that began
// in it are taken frame by frame from the renderer's own positions, and the level is
// bin 0 of the spectrum of the 1024 mono frames that end where the step begins, as the
// real-time backend reads it for a listener at that frame.
#include "MusicPrerender.h"

#include "platform/ModuleRenderer.h"
#include "platform/Spectrum.h"

#include <array>
#include <memory>
#include <vector>

std::optional<platform::PositionTable> prerenderMusic(
    const char* modulePath, int sampleRate, double maxSeconds, const AudioSink& sink, std::string& error)
{
    using platform::PositionTable;
    platform::ModuleRenderer renderer(sampleRate);
    if (!renderer.loadFile(modulePath)) {
        error = renderer.lastError();
        return std::nullopt;
    }
    PositionTable table(sampleRate);
    auto spectrum = std::make_unique<platform::Spectrum>();
    std::array<float, platform::Spectrum::size> mono {};
    std::array<float, platform::Spectrum::bins> magnitudes {};
    std::vector<float> block(2 * PositionTable::levelStep);
    const auto maxFrames = static_cast<uint64_t>(maxSeconds * sampleRate);

    while (!renderer.ended() && renderer.renderedFrames() < maxFrames) {
        const uint64_t begin = renderer.renderedFrames();
        renderer.monoSamples(begin, mono.data());
        spectrum->compute(mono.data(), magnitudes.data());
        table.addLevel(magnitudes[0]);

        renderer.render(block.data(), PositionTable::levelStep);
        const uint64_t end = renderer.ended() ? renderer.endFrame() : renderer.renderedFrames();
        for (uint64_t frame = begin; frame < end; ++frame) {
            const platform::ModulePosition position = renderer.positionAt(frame);
            table.addRow(frame, position.order, position.row);
        }
        if (end > begin && !sink(block.data(), static_cast<size_t>(end - begin))) {
            error = "the audio could not be written";
            return std::nullopt;
        }
        table.setFrames(end);
    }
    return table;
}
