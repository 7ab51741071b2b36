// Tiles in two columns: each picture resampled bilinearly to its quad's size and
// blended over its scene's clear colour, with its file name below.
#include "ContactSheet.h"

#include "Canvas.h"
#include "PixelFont.h"

#include <algorithm>
#include <array>
#include <string>

namespace datagen {

namespace {

constexpr int columnWidth = 640;
constexpr int margin = 16;
constexpr int labelHeight = 28;

struct Placement {
    const char* fileName;
    int width; // the quad's size on screen, in pixels
    int height;
    std::array<Rgba, 2> background; // two colours: the second fills the right half
    int opacity;                    // percent: the frame overlay is drawn at 20
};

constexpr Rgba teal = { 13, 140, 140, 255 };
constexpr Rgba purple = { 230, 0, 255, 255 };
constexpr Rgba sky = { 51, 153, 230, 255 };
constexpr Rgba deepBlue = { 0, 51, 102, 255 };
constexpr Rgba black = { 0, 0, 0, 255 };
constexpr Rgba grey = { 64, 64, 64, 255 };

// The scenes' backgrounds under each picture (the closing picture of order 13 sinks
// to black, the overlay lies over every scene).
constexpr std::array<Placement, 13> placements = { {
    { "vorimel.tga", 640, 288, { teal, teal }, 80 },
    { "diagonales.tga", 640, 480, { teal, deepBlue }, 20 },
    { "cosa00d.tga", 640, 240, { teal, teal }, 100 },
    { "cosa00d2.tga", 640, 240, { teal, teal }, 100 },
    { "cosa00e01.tga", 640, 240, { teal, teal }, 100 },
    { "cosa01b.tga", 640, 240, { purple, purple }, 100 },
    { "cosa02b.tga", 640, 240, { sky, sky }, 100 },
    { "cosa03c.tga", 640, 240, { deepBlue, deepBlue }, 100 },
    { "cosa04d1.tga", 512, 480, { deepBlue, deepBlue }, 100 },
    { "cosa05b1.tga", 512, 480, { deepBlue, black }, 100 },
    { "cosa03.tga", 256, 256, { grey, grey }, 100 },
    { "flare2.tga", 256, 256, { black, grey }, 100 },
    { "icon", 256, 256, { grey, sky }, 100 },
} };

// The picture's colour at (x, y) of a w x h stretch, bilinear, as texture filtering does.
std::array<int, 4> sample(const Image& image, int x, int y, int w, int h)
{
    // Positions in 1/256 of a source pixel, centres aligned.
    const int64_t sx = std::max<int64_t>(0, (int64_t { 2 * x + 1 } * image.width * 128) / w - 128);
    const int64_t sy = std::max<int64_t>(0, (int64_t { 2 * y + 1 } * image.height * 128) / h - 128);
    const int x0 = std::min(static_cast<int>(sx >> 8), image.width - 1);
    const int y0 = std::min(static_cast<int>(sy >> 8), image.height - 1);
    const int x1 = std::min(x0 + 1, image.width - 1);
    const int y1 = std::min(y0 + 1, image.height - 1);
    const int64_t fx = sx & 255;
    const int64_t fy = sy & 255;
    std::array<int, 4> out {};
    for (int c = 0; c < 4; ++c) {
        const int64_t top = image.pixel(x0, y0)[c] * (256 - fx) + image.pixel(x1, y0)[c] * fx;
        const int64_t bottom = image.pixel(x0, y1)[c] * (256 - fx) + image.pixel(x1, y1)[c] * fx;
        out[static_cast<size_t>(c)] = static_cast<int>((top * (256 - fy) + bottom * fy + 32768) >> 16);
    }
    return out;
}

void drawTile(Image& sheet, int left, int top, const Placement& place, const Image& picture)
{
    for (int y = 0; y < place.height; ++y) {
        for (int x = 0; x < place.width; ++x) {
            const Rgba bg = place.background[x < place.width / 2 ? 0 : 1];
            const std::array<int, 4> p = sample(picture, x, y, place.width, place.height);
            const int a = p[3] * place.opacity / 100;
            uint8_t* d = sheet.pixel(left + x, top + y);
            d[0] = static_cast<uint8_t>((p[0] * a + bg.r * (255 - a) + 127) / 255);
            d[1] = static_cast<uint8_t>((p[1] * a + bg.g * (255 - a) + 127) / 255);
            d[2] = static_cast<uint8_t>((p[2] * a + bg.b * (255 - a) + 127) / 255);
            d[3] = 255;
        }
    }
}

void drawLabel(Image& sheet, int left, int top, const std::string& text)
{
    Canvas canvas(columnWidth, labelHeight, 2);
    PixelFont::draw(
        canvas, { 0, 6 * Canvas::unit }, text, 2 * Canvas::unit, 0, Paint::solid({ 230, 230, 230, 255 }));
    const Image label = canvas.toImage();
    for (int y = 0; y < labelHeight; ++y) {
        for (int x = 0; x < columnWidth; ++x) {
            const uint8_t* s = label.pixel(x, y);
            uint8_t* d = sheet.pixel(left + x, top + y);
            for (int c = 0; c < 3; ++c)
                d[c] = static_cast<uint8_t>((s[c] * s[3] + d[c] * (255 - s[3]) + 127) / 255);
        }
    }
}

} // namespace

Image ContactSheet::render(const std::vector<Picture>& pictures, const Image& icon)
{
    // Place the tiles first, each in the shorter column, to know the sheet's height.
    std::array<int, 2> columnHeight = { margin, margin };
    std::vector<std::array<int, 3>> spots; // placement index, left, top
    for (size_t i = 0; i < placements.size(); ++i) {
        const int column = columnHeight[0] <= columnHeight[1] ? 0 : 1;
        spots.push_back({ static_cast<int>(i), margin + column * (columnWidth + margin),
            columnHeight[static_cast<size_t>(column)] });
        columnHeight[static_cast<size_t>(column)] += placements[i].height + labelHeight + margin;
    }
    Image sheet(2 * columnWidth + 3 * margin, std::max(columnHeight[0], columnHeight[1]));
    for (size_t i = 0; i < sheet.rgba.size(); i += 4) {
        sheet.rgba[i] = sheet.rgba[i + 1] = sheet.rgba[i + 2] = 24;
        sheet.rgba[i + 3] = 255;
    }
    for (const auto& [index, left, top] : spots) {
        const Placement& place = placements[static_cast<size_t>(index)];
        const std::string name = place.fileName;
        const Image* image = name == "icon" ? &icon : nullptr;
        for (const Picture& p : pictures) {
            if (p.fileName == name)
                image = &p.image;
        }
        if (image == nullptr || image->width == 0)
            continue;
        drawTile(sheet, left, top, place, *image);
        drawLabel(sheet, left, top + place.height + 2, name);
    }
    return sheet;
}

} // namespace datagen
