// Feeds arbitrary bytes to the TGA reader through an in-memory file.
#include "render/TgaReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// a GL's usual largest side: headers beyond it take the refusal before the pixels
constexpr uint32_t maxSide = 16384;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file)
        return 0;
    Texture texture;
    std::string reason;
    const bool read = readTga(file, texture, maxSide, reason);
    if (read != reason.empty())
        std::abort(); // a refusal without a reason, or a reason for a success
    if (read) {
        if (texture.width > maxSide || texture.height > maxSide)
            std::abort();
        // Every converted byte must be readable.
        volatile unsigned sum = 0;
        const size_t bytes = size_t { texture.width } * texture.height * (texture.bitsPerPixel / 8);
        for (size_t i = 0; i < bytes; ++i)
            sum = sum + texture.pixels[i];
    }
    std::fclose(file);
    return 0;
}
