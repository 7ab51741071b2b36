// A finished picture: 8-bit RGBA with straight (not premultiplied) alpha, top row first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace datagen {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba; // width * height * 4 bytes

    Image() = default;
    Image(int w, int h)
        : width(w)
        , height(h)
        , rgba(static_cast<size_t>(w) * static_cast<size_t>(h) * 4, 0)
    {
    }

    uint8_t* pixel(int x, int y) { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    const uint8_t* pixel(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

} // namespace datagen
