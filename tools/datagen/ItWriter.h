// Stores an ItModule as an Impulse Tracker (.it) file: sample mode, uncompressed
// signed 16-bit samples, packed patterns.
#pragma once

#include "ItModule.h"

#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

class ItWriter {
public:
    // Version written as both "created with" and "compatible with": format 2.14,
    // so readers take the file as a current one and apply no old-version quirks.
    static constexpr uint16_t formatVersion = 0x0214;

    static std::vector<uint8_t> encode(const ItModule& module);
    // encode, written to path; false when the file cannot be written.
    static bool write(const std::string& path, const ItModule& module);

    // The packed rows of one pattern (without its 8-byte header): per cell a
    // channel byte, the mask byte when it differs from the channel's last mask,
    // then the fields the mask names; a zero byte ends each row.
    static std::vector<uint8_t> packPattern(const ItPattern& pattern);
};

} // namespace datagen
