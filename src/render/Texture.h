// TGA pictures as GL textures. One kind of file is accepted: uncompressed true colour,
// 24 or 32 bits, no image ID, no colour map, no origin offset.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <memory>

struct Texture {
    std::unique_ptr<unsigned char[]> pixels; // RGB or RGBA, rows in file order
    uint32_t bitsPerPixel = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    GLuint glName = 0; // 0 until loaded: binds GL's default texture
};

// Reads the header and pixels from an open file into the record, converted to RGB(A).
// On refusal width, height and bitsPerPixel keep what was read so far and pixels is
// left null; no buffer larger than the file's remaining bytes is ever allocated.
bool readTga(std::FILE* file, Texture& texture);

// Prints "Loading texture <path>", reads the file and uploads it; prints "-> ok" on
// success. Needs a current GL context. True when the texture was created.
bool loadTexture(Texture& texture, const char* path);
