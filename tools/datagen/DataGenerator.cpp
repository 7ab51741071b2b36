// Paints the pictures, composes the module and writes them all.
#include "DataGenerator.h"

#include "ItWriter.h"
#include "PicturePainter.h"
#include "SongComposer.h"
#include "TgaWriter.h"

#include <filesystem>
#include <system_error>

namespace datagen {

namespace {

constexpr const char* moduleName = "mordel.it";

} // namespace

std::vector<std::string> DataGenerator::fileNames()
{
    return { "vorimel.tga", "diagonales.tga", "cosa00d.tga", "cosa00d2.tga", "cosa00e01.tga", "cosa01b.tga",
        "cosa02b.tga", "cosa03.tga", "cosa03c.tga", "cosa04d1.tga", "cosa05b1.tga", "flare2.tga",
        moduleName };
}

bool DataGenerator::writeAll(const std::string& folder, std::string& error)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        error = "cannot create " + folder + ": " + ec.message();
        return false;
    }
    const std::filesystem::path base(folder);
    for (const Picture& picture : PicturePainter::paintAll()) {
        const std::string path = (base / picture.fileName).string();
        if (!TgaWriter::write(path, picture.image, picture.bitsPerPixel)) {
            error = "cannot write " + path;
            return false;
        }
    }
    const std::string path = (base / moduleName).string();
    if (!ItWriter::write(path, SongComposer::compose())) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace datagen
