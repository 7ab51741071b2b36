// TGA pictures as GL textures. One kind of file is accepted: uncompressed true colour,
// 24 or 32 bits, no image ID, no colour map, no origin offset.
#pragma once

#include "platform/GL.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

struct Texture {
    std::unique_ptr<unsigned char[]> pixels; // RGB or RGBA, rows in file order
    uint32_t bitsPerPixel = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    GLuint glName = 0; // 0 until loaded: binds GL's default texture
};

// Reads the header and pixels from an open file into the record, converted to RGB(A).
// A picture wider or higher than maxSide pixels is refused before its pixels are read.
// On refusal `reason` says why, width, height and bitsPerPixel keep what was read so
// far and pixels is left null; no buffer larger than the file's remaining bytes is
// ever allocated.
bool readTga(std::FILE* file, Texture& texture, uint32_t maxSide, std::string& reason);
// The same with no limit but the format's own, for tools that only check the bytes.
bool readTga(std::FILE* file, Texture& texture);

// Uploads the record's pixels into a new texture and stores its name in glName. False
// when the GL refuses the upload: glName keeps its value and the pixels are freed.
bool uploadTexture(Texture& texture, std::string& reason);

// Prints "Loading texture <path>", reads the file and uploads it; prints "-> ok" on
// success. On failure the progress line stays open and one line on stderr names the
// file and the reason. Needs a current GL context. True when the texture was created.
bool loadTexture(Texture& texture, const char* path);
