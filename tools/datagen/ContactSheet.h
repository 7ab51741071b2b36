// One picture of all the pictures, each stretched to the size of its quad on screen
// and laid over the background of the scene that draws it, named underneath.
#pragma once

#include "Image.h"
#include "PicturePainter.h"

#include <vector>

namespace datagen {

class ContactSheet {
public:
    // Opaque RGBA, top row first. The icon, if given, closes the sheet.
    static Image render(const std::vector<Picture>& pictures, const Image& icon);
};

} // namespace datagen
