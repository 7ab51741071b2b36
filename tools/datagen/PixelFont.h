// A small blocky font (7 cells high) for titles painted onto a Canvas.
#pragma once

#include "Canvas.h"

#include <string>

namespace datagen {

class PixelFont {
public:
    static constexpr int glyphRows = 7;

    // Width of text in units for square cells of size cell: glyph widths plus one
    // empty cell between glyphs.
    static int32_t textWidth(const std::string& text, int32_t cell);

    // Paints text with its top-left corner at origin. slant shifts the top of each
    // glyph right by that many units relative to its bottom (0 for upright).
    // Characters without a glyph leave a gap of three cells.
    static void draw(Canvas& canvas, Point origin, const std::string& text, int32_t cell, int32_t slant,
        const Paint& paint);
};

} // namespace datagen
