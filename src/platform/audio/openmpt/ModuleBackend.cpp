// The module, its handle, scaler and gain, as both audio backends keep them.
#include "platform/audio/openmpt/ModuleBackend.h"

#include <algorithm>

namespace platform {

void ModuleBackend::setVolume(int percent)
{
    ModuleLock lock(*this);
    gain = static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f;
}

void ModuleBackend::play(uint32_t handle)
{
    ModuleLock lock(*this);
    if (owns(handle)) {
        playing = true;
    }
}

void ModuleBackend::setPositionScaler(uint32_t handle, int scaler)
{
    ModuleLock lock(*this);
    if (owns(handle)) {
        positionScaler = std::max(scaler, 1);
    }
}

std::unique_ptr<ModuleRenderer> ModuleBackend::readModule(const char* path, std::vector<char>& bytes)
{
    if (!ModuleRenderer::readFile(path, bytes, error)) {
        return nullptr;
    }
    auto loaded = std::make_unique<ModuleRenderer>(rate);
    if (!loaded->loadMemory(bytes.data(), bytes.size())) {
        error = std::string(path) + ": " + loaded->lastError();
        return nullptr;
    }
    return loaded;
}

uint32_t ModuleBackend::adopt(std::unique_ptr<ModuleRenderer>& loaded, uint64_t startFrame)
{
    loaded->startAtFrame(startFrame);
    renderer.swap(loaded);
    moduleHandle = ++lastHandle;
    playing = false;
    positionScaler = 1;
    return moduleHandle;
}

void ModuleBackend::dropModule()
{
    renderer.reset();
    moduleHandle = 0;
    playing = false;
}

void ModuleBackend::applyGain(float* interleavedStereo, size_t frames) const
{
    if (gain != 1.0f) {
        for (size_t i = 0; i < 2 * frames; ++i) {
            interleavedStereo[i] *= gain;
        }
    }
}

bool ModuleBackend::ended(uint32_t handle)
{
    ModuleLock lock(*this);
    // the renderer finishes before the listener hears the last frame
    return !owns(handle) || (renderer->ended() && heardFrame() >= renderer->endFrame());
}

void ModuleBackend::spectrum(uint32_t handle, float magnitudes[spectrumBins])
{
    {
        ModuleLock lock(*this);
        if (!owns(handle)) {
            std::fill(magnitudes, magnitudes + spectrumBins, 0.0f);
            return;
        }
        renderer->monoSamples(heardFrame(), monoWindow.data());
    }
    analyser.compute(monoWindow.data(), magnitudes); // outside the lock: the callback waits for nothing
}

} // namespace platform
