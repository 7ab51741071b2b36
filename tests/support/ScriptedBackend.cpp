// The scripted spectrum: the level in the lowest bin, the rest silent.
#include "support/ScriptedBackend.h"

#include <algorithm>

namespace testsupport {

void ScriptedBackend::spectrum(uint32_t, float magnitudes[platform::spectrumBins])
{
    std::fill(magnitudes, magnitudes + platform::spectrumBins, 0.0f);
    magnitudes[0] = level;
}

} // namespace testsupport
