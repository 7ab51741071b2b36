// Writing a whole file of bytes at once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

// Replaces the file with the bytes; false when it can't be written completely.
bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace datagen
