// Files for tests: TGA bytes of the accepted layout and temporary files.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// An uncompressed true-colour TGA: the fixed header, size, bits, then the pixel bytes.
std::vector<unsigned char> tgaBytes(
    int width, int height, int bits, const std::vector<unsigned char>& pixels);

// Writes the bytes to a file in the test's temporary folder; returns its path.
std::string writeTemporaryFile(const std::string& name, const std::vector<unsigned char>& bytes);

} // namespace testsupport
