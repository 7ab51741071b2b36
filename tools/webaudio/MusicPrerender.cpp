// Rendering goes in the renderer's chunks; after each, the rows that began in it are
// taken frame by frame from the renderer's own positions, the ones the desktop demo
// and the capture tool hear.
#include "MusicPrerender.h"

#include "platform/audio/openmpt/ModuleRenderer.h"

#include <vector>

std::optional<platform::PositionTable> prerenderMusic(
    const char* modulePath, int sampleRate, double maxSeconds, const AudioSink& sink, std::string& error)
{
    constexpr size_t chunk = platform::ModuleRenderer::chunkFrames;
    platform::ModuleRenderer renderer(sampleRate);
    if (!renderer.loadFile(modulePath)) {
        error = renderer.lastError();
        return std::nullopt;
    }
    platform::PositionTable table(sampleRate);
    std::vector<float> block(2 * chunk);
    const auto maxFrames = static_cast<uint64_t>(maxSeconds * sampleRate);

    while (!renderer.ended() && renderer.renderedFrames() < maxFrames) {
        const uint64_t begin = renderer.renderedFrames();
        renderer.render(block.data(), chunk);
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
