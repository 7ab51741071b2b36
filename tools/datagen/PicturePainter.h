// Paints every picture the demo loads from data/, and the application icon.
#pragma once

#include "Image.h"

#include <string>
#include <vector>

namespace datagen {

struct Picture {
    std::string fileName; // name under data/
    int bitsPerPixel;     // 24 or 32
    Image image;
};

class PicturePainter {
public:
    // All twelve pictures, in a fixed order.
    static std::vector<Picture> paintAll();

    static Picture logo();      // vorimel.tga: loading-screen title
    static Picture diagonals(); // diagonales.tga: faint overlay on every frame
    static Picture sunrise();   // cosa00d.tga: lower half, opening scene
    static Picture mountains(); // cosa00d2.tga: lower half, opening scene, order 3
    static Picture equaliser(); // cosa00e01.tga: lower half, added with the music level
    static Picture waves();     // cosa01b.tga: lower half, vertex ring scene
    static Picture emblem();    // cosa02b.tga: centre, cube ring scene
    static Picture postcard();  // cosa03.tga: loaded, never drawn
    static Picture skyline();   // cosa03c.tga: strip picture, lower half
    static Picture mandala();   // cosa04d1.tga: centre, closing scene
    static Picture eclipse();   // cosa05b1.tga: centre, closing scene from order 13
    static Picture flare();     // flare2.tga: loaded, never drawn

    // 256 x 256 application icon in the pictures' style.
    static Image icon();
};

} // namespace datagen
