// TGA pictures as GL textures: the record, its upload, and loading with progress lines.
#pragma once

#include "platform/GL.h"

#include <cstdint>
#include <memory>
#include <string>

struct Texture {
    std::unique_ptr<unsigned char[]> pixels; // RGB or RGBA, rows in file order
    uint32_t bitsPerPixel = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    GLuint glName = 0; // 0 until loaded: binds GL's default texture
};

// Uploads the record's pixels into a new texture and stores its name in glName. False
// when the GL refuses the upload: glName keeps its value and the pixels are freed.
bool uploadTexture(Texture& texture, std::string& reason);

// Prints "Loading texture <path>", reads the file (./data/ or the installed copy:
// platform::dataFilePath) and uploads it; prints "-> ok" on success. On failure the
// progress line stays open and one line on stderr names the file read and the reason.
// Needs a current GL context. True when the texture was created.
bool loadTexture(Texture& texture, const char* path);
