// Paints the pictures, composes the module and writes them all.
#include "DataGenerator.h"

#include "DataFiles.h"
#include "ItWriter.h"
#include "PicturePainter.h"
#include "SongComposer.h"
#include "TgaWriter.h"

#include <filesystem>
#include <iterator>
#include <system_error>

namespace datagen {

std::vector<std::string> DataGenerator::fileNames()
{
    std::vector<std::string> names(std::begin(pictureFiles), std::end(pictureFiles));
    names.emplace_back(moduleFile);
    return names;
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
    const std::string path = (base / moduleFile).string();
    if (!ItWriter::write(path, SongComposer::compose())) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace datagen
