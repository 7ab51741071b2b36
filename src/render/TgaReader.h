// Reads TGA pictures into texture records, without GL: the loader uploads them, the
// fuzzer and the data tests only read them. One kind of file is accepted: uncompressed
// true colour, 24 or 32 bits, no image ID, no colour map, no origin offset.
#pragma once

#include "render/Texture.h"

#include <cstdint>
#include <cstdio>
#include <string>

// Reads the header and pixels from an open file into the record, converted to RGB(A).
// A picture wider or higher than maxSide pixels is refused before its pixels are read.
// On refusal `reason` says why, width, height and bitsPerPixel keep what was read so
// far and pixels is left null; no buffer larger than the file's remaining bytes is
// ever allocated.
bool readTga(std::FILE* file, Texture& texture, uint32_t maxSide, std::string& reason);
// The same with no limit but the format's own, for tools that only check the bytes.
bool readTga(std::FILE* file, Texture& texture);
