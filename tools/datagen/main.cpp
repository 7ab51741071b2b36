// vorimel-datagen [<folder>] [--preview FILE.png] [--icon FILE.png]: writes the
// demo's pictures and module into folder, a contact sheet of the pictures over
// their scenes' backgrounds, and the 256 x 256 application icon.
#include "ContactSheet.h"
#include "DataGenerator.h"
#include "PicturePainter.h"
#include "PngWriter.h"

#include <cstdio>
#include <string>

namespace {

bool writeImage(const std::string& path, const datagen::Image& image)
{
    return png::writePng(path, { image.width, image.height, 4, image.rgba.data(), 0, false });
}

} // namespace

int main(int argc, char** argv)
{
    std::string folder;
    std::string preview;
    std::string icon;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--preview" || arg == "--icon") && i + 1 < argc)
            (arg == "--preview" ? preview : icon) = argv[++i];
        else if (arg.rfind("--", 0) != 0 && folder.empty())
            folder = arg;
        else
            folder.clear(), preview.clear(), icon.clear(), i = argc;
    }
    if (folder.empty() && preview.empty() && icon.empty()) {
        std::fprintf(stderr, "usage: %s [<output folder>] [--preview FILE.png] [--icon FILE.png]\n",
            argc > 0 ? argv[0] : "vorimel-datagen");
        return 2;
    }
    std::string error;
    if (!folder.empty() && !datagen::DataGenerator::writeAll(folder, error)) {
        std::fprintf(stderr, "vorimel-datagen: %s\n", error.c_str());
        return 1;
    }
    const datagen::Image iconImage
        = icon.empty() && preview.empty() ? datagen::Image() : datagen::PicturePainter::icon();
    if (!icon.empty() && !writeImage(icon, iconImage)) {
        std::fprintf(stderr, "vorimel-datagen: cannot write %s\n", icon.c_str());
        return 1;
    }
    if (!preview.empty()
        && !writeImage(
            preview, datagen::ContactSheet::render(datagen::PicturePainter::paintAll(), iconImage))) {
        std::fprintf(stderr, "vorimel-datagen: cannot write %s\n", preview.c_str());
        return 1;
    }
    return 0;
}
