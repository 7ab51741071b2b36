// vorimel-datagen [<folder>] [--preview FILE.png] [--icons FOLDER]: writes the
// demo's pictures and module into folder, a contact sheet of the pictures over
// their scenes' backgrounds, and the application icon at the sizes of the hicolor
// icon theme (FOLDER/NxN/apps/vorimel.png, the sizes of cmake/DataFiles.cmake).
#include "ContactSheet.h"
#include "DataFiles.h"
#include "DataGenerator.h"
#include "ImageScaling.h"
#include "PicturePainter.h"
#include "PngWriter.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

bool writeImage(const std::string& path, const datagen::Image& image)
{
    return png::writePng(path, { image.width, image.height, 4, image.rgba.data(), 0, false });
}

// The icon drawn at 256 and shrunk for the theme's smaller sizes.
bool writeIcons(const std::string& folder, const datagen::Image& icon, std::string& failed)
{
    for (const int size : datagen::iconSizes) {
        const std::string sizeName = std::to_string(size) + "x" + std::to_string(size);
        const std::filesystem::path apps = std::filesystem::path(folder) / sizeName / "apps";
        std::error_code error;
        std::filesystem::create_directories(apps, error);
        failed = (apps / "vorimel.png").string();
        if (error || !writeImage(failed, size == icon.width ? icon : datagen::scaleDown(icon, size, size)))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::string folder;
    std::string preview;
    std::string icons;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--preview" || arg == "--icons") && i + 1 < argc)
            (arg == "--preview" ? preview : icons) = argv[++i];
        else if (arg.rfind("--", 0) != 0 && folder.empty())
            folder = arg;
        else
            folder.clear(), preview.clear(), icons.clear(), i = argc;
    }
    if (folder.empty() && preview.empty() && icons.empty()) {
        std::fprintf(stderr, "usage: %s [<output folder>] [--preview FILE.png] [--icons FOLDER]\n",
            argc > 0 ? argv[0] : "vorimel-datagen");
        return 2;
    }
    std::string error;
    if (!folder.empty() && !datagen::DataGenerator::writeAll(folder, error)) {
        std::fprintf(stderr, "vorimel-datagen: %s\n", error.c_str());
        return 1;
    }
    const datagen::Image iconImage
        = icons.empty() && preview.empty() ? datagen::Image() : datagen::PicturePainter::icon();
    std::string failed;
    if (!icons.empty() && !writeIcons(icons, iconImage, failed)) {
        std::fprintf(stderr, "vorimel-datagen: cannot write %s\n", failed.c_str());
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
