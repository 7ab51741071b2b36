// vorimel-datagen <folder>: writes the demo's pictures and module into folder.
#include "DataGenerator.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argc > 0 ? argv[0] : "vorimel-datagen");
        return 2;
    }
    std::string error;
    if (!datagen::DataGenerator::writeAll(argv[1], error)) {
        std::fprintf(stderr, "vorimel-datagen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
