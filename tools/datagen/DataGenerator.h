// Writes every data file the demo opens into one folder.
#pragma once

#include <string>
#include <vector>

namespace datagen {

class DataGenerator {
public:
    // Names of the files writeAll produces: the pictures in the order the demo loads
    // them, then the module.
    static std::vector<std::string> fileNames();

    // Creates folder if needed and writes every file into it. On failure returns
    // false and names the file that could not be written in error.
    static bool writeAll(const std::string& folder, std::string& error);
};

} // namespace datagen
