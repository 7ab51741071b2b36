// The real-time backend renders the module into the sound server's or SDL2's device.
#include "platform/desktop/AudioFactory.h"

#include "platform/audio/openmpt/RealTimeAudioBackend.h"

namespace platform {

std::unique_ptr<AudioBackend> createRealTimeAudioBackend()
{
    return std::make_unique<RealTimeAudioBackend>();
}

} // namespace platform
