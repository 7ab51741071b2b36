// In a browser the music is the page's Web Audio player.
#include "platform/AudioFactory.h"

#include "platform/WebAudioBackend.h"

namespace platform {

std::unique_ptr<AudioBackend> createRealTimeAudioBackend()
{
    return std::make_unique<WebAudioBackend>();
}

} // namespace platform
