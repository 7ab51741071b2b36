// Glyph bitmaps and their painting as runs of slanted cells.
#include "PixelFont.h"

#include <cstring>

namespace datagen {

namespace {

struct Glyph {
    char character;
    const char* rows[PixelFont::glyphRows]; // '#' lit, '.' empty; all rows equally wide
};

constexpr int32_t missingWidth = 3; // cells

constexpr Glyph glyphs[] = {
    { '.', { "..", "..", "..", "..", "..", "##", "##" } },
    { '-', { "....", "....", "....", "####", "....", "....", "...." } },
    { '/', { "....#", "....#", "...#.", "..#..", ".#...", "#....", "#...." } },
    { '0', { ".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###." } },
    { '1', { ".#.", "##.", ".#.", ".#.", ".#.", ".#.", "###" } },
    { '2', { ".###.", "#...#", "....#", "..##.", ".#...", "#....", "#####" } },
    { '3', { "####.", "....#", "....#", ".###.", "....#", "....#", "####." } },
    { '4', { "...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#." } },
    { '5', { "#####", "#....", "####.", "....#", "....#", "#...#", ".###." } },
    { '6', { ".###.", "#....", "#....", "####.", "#...#", "#...#", ".###." } },
    { '7', { "#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..." } },
    { '8', { ".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###." } },
    { '9', { ".###.", "#...#", "#...#", ".####", "....#", "....#", ".###." } },
    { 'a', { ".....", ".....", ".###.", "....#", ".####", "#...#", ".####" } },
    { 'b', { "#....", "#....", "####.", "#...#", "#...#", "#...#", "####." } },
    { 'c', { ".....", ".....", ".####", "#....", "#....", "#....", ".####" } },
    { 'd', { "....#", "....#", ".####", "#...#", "#...#", "#...#", ".####" } },
    { 'e', { ".....", ".....", ".###.", "#...#", "#####", "#....", ".####" } },
    { 'f', { "..##", ".#..", "####", ".#..", ".#..", ".#..", ".#.." } },
    { 'g', { ".....", ".####", "#...#", "#...#", ".####", "....#", ".###." } },
    { 'h', { "#....", "#....", "####.", "#...#", "#...#", "#...#", "#...#" } },
    { 'i', { ".#.", "...", "##.", ".#.", ".#.", ".#.", "###" } },
    { 'j', { "..#", "...", ".##", "..#", "..#", "..#", "##." } },
    { 'k', { "#...", "#...", "#..#", "#.#.", "##..", "#.#.", "#..#" } },
    { 'l', { "##.", ".#.", ".#.", ".#.", ".#.", ".#.", "###" } },
    { 'm', { ".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#" } },
    { 'n', { ".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#" } },
    { 'o', { ".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###." } },
    { 'p', { ".....", "####.", "#...#", "#...#", "####.", "#....", "#...." } },
    { 'q', { ".....", ".####", "#...#", "#...#", ".####", "....#", "....#" } },
    { 'r', { ".....", ".....", "#.##.", "##..#", "#....", "#....", "#...." } },
    { 's', { ".....", ".....", ".####", "#....", ".###.", "....#", "####." } },
    { 't', { ".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##." } },
    { 'u', { ".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####" } },
    { 'v', { ".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.." } },
    { 'w', { ".....", ".....", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#." } },
    { 'x', { ".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#" } },
    { 'y', { ".....", "#...#", "#...#", "#...#", ".####", "....#", ".###." } },
    { 'z', { ".....", ".....", "#####", "...#.", "..#..", ".#...", "#####" } },
};

const Glyph* findGlyph(char c)
{
    for (const Glyph& g : glyphs) {
        if (g.character == c)
            return &g;
    }
    return nullptr;
}

int32_t glyphWidth(char c)
{
    const Glyph* g = findGlyph(c);
    return g != nullptr ? static_cast<int32_t>(std::strlen(g->rows[0])) : missingWidth;
}

} // namespace

int32_t PixelFont::textWidth(const std::string& text, int32_t cell)
{
    int32_t cells = 0;
    for (size_t i = 0; i < text.size(); ++i)
        cells += glyphWidth(text[i]) + (i + 1 < text.size() ? 1 : 0);
    return cells * cell;
}

void PixelFont::draw(
    Canvas& canvas, Point origin, const std::string& text, int32_t cell, int32_t slant, const Paint& paint)
{
    int32_t x = origin.x;
    for (char c : text) {
        const Glyph* g = findGlyph(c);
        if (g != nullptr) {
            const int32_t width = glyphWidth(c);
            for (int row = 0; row < glyphRows; ++row) {
                const int32_t top = origin.y + row * cell;
                const int32_t bottom = top + cell;
                // Horizontal shift of this row's top and bottom edges.
                const int32_t shiftTop = slant * (glyphRows - row) / glyphRows;
                const int32_t shiftBottom = slant * (glyphRows - row - 1) / glyphRows;
                int32_t col = 0;
                while (col < width) {
                    if (g->rows[row][col] != '#') {
                        ++col;
                        continue;
                    }
                    // One polygon per run of lit cells, so no seams show inside a run.
                    int32_t end = col;
                    while (end < width && g->rows[row][end] == '#')
                        ++end;
                    const int32_t left = x + col * cell;
                    const int32_t right = x + end * cell;
                    canvas.fillPolygon({ { left + shiftTop, top }, { right + shiftTop, top },
                                           { right + shiftBottom, bottom }, { left + shiftBottom, bottom } },
                        paint);
                    col = end;
                }
            }
        }
        x += (glyphWidth(c) + 1) * cell;
    }
}

} // namespace datagen
