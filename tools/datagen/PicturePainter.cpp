// The pictures: one palette (night indigo, violet, coral, gold, cream, a cyan
// accent) and one motif, a striped sun over a glowing horizon, drawn as line art
// with soft glows on transparent ground. Each is painted in the size its quad has
// on screen and stored at a power-of-two size.
#include "PicturePainter.h"

#include "Canvas.h"
#include "FixedMath.h"
#include "NoiseSource.h"
#include "PixelFont.h"

#include <algorithm>
#include <vector>

namespace datagen {

namespace {

constexpr int32_t u = Canvas::unit;
constexpr uint32_t quarterTurn = 1u << 30;

// Pixels of the design space to canvas units.
constexpr int32_t px(int32_t pixels)
{
    return pixels * u;
}

constexpr Rgba withAlpha(Rgba c, uint8_t a)
{
    return { c.r, c.g, c.b, a };
}

constexpr Rgba clearOf(Rgba c)
{
    return withAlpha(c, 0);
}

constexpr Rgba night = { 24, 18, 64, 255 };
constexpr Rgba violet = { 96, 48, 176, 255 };
constexpr Rgba coral = { 255, 92, 128, 255 };
constexpr Rgba gold = { 255, 206, 84, 255 };
constexpr Rgba cream = { 255, 244, 222, 255 };
constexpr Rgba cyan = { 100, 230, 255, 255 };

constexpr int32_t one = Paint::gradientOne;

// A canvas of the stored size whose shapes are given in the on-screen size.
Canvas canvasFor(int width, int height, int designWidth, int designHeight, int supersample = 4)
{
    Canvas canvas(width, height, supersample);
    canvas.setDesignSize(designWidth, designHeight);
    return canvas;
}

// A transparent canvas of the same sizes for a glow: it is blurred afterwards, so one
// sample per pixel is enough.
Canvas layerLike(const Canvas& canvas, int designWidth, int designHeight)
{
    return canvasFor(canvas.width(), canvas.height(), designWidth, designHeight, 1);
}

// The point at distance radius from centre in direction phase (a full turn is 2^32,
// 0 pointing right, growing clockwise on screen).
Point polar(Point centre, int32_t radius, uint32_t phase)
{
    const int64_t c = sineQ15(phase + quarterTurn);
    const int64_t s = sineQ15(phase);
    return { centre.x + static_cast<int32_t>(radius * c / 32767),
        centre.y + static_cast<int32_t>(radius * s / 32767) };
}

uint32_t turnFraction(int index, int count)
{
    return static_cast<uint32_t>(fullTurn * static_cast<uint64_t>(index) / static_cast<uint64_t>(count));
}

Paint vertical(int32_t top, int32_t bottom, std::vector<Paint::Stop> stops)
{
    return Paint::linear({ 0, top }, { 0, bottom }, std::move(stops));
}

Paint horizontal(int32_t left, int32_t right, std::vector<Paint::Stop> stops)
{
    return Paint::linear({ left, 0 }, { right, 0 }, std::move(stops));
}

// A horizontal rule that fades in and out at its ends.
void rule(Canvas& canvas, int32_t left, int32_t right, int32_t y, int32_t thickness, Rgba colour)
{
    canvas.fillRect(left, y - thickness / 2, right, y + (thickness + 1) / 2,
        horizontal(left, right,
            { { 0, clearOf(colour) }, { one / 4, colour }, { one * 3 / 4, colour },
                { one, clearOf(colour) } }));
}

// The part of a disc between two heights, as a polygon.
std::vector<Point> discSlice(Point centre, int32_t radius, int32_t top, int32_t bottom)
{
    top = std::max(top, centre.y - radius);
    bottom = std::min(bottom, centre.y + radius);
    constexpr int steps = 24;
    std::vector<Point> left;
    std::vector<Point> right;
    for (int i = 0; i <= steps; ++i) {
        const int32_t y = top + static_cast<int32_t>(int64_t { bottom - top } * i / steps);
        const int64_t dy = y - centre.y;
        const int32_t half
            = static_cast<int32_t>(integerSqrt(static_cast<uint64_t>(int64_t { radius } * radius - dy * dy)));
        right.push_back({ centre.x + half, y });
        left.push_back({ centre.x - half, y });
    }
    std::vector<Point> outline(right.begin(), right.end());
    outline.insert(outline.end(), left.rbegin(), left.rend());
    return outline;
}

// The motif: the upper half of a sun standing on the horizon at centre.y, gold at
// the top, coral at the horizon, cut by bars that widen towards the horizon.
void stripedSun(Canvas& canvas, Point centre, int32_t radius)
{
    const Paint fill = vertical(
        centre.y - radius, centre.y, { { 0, gold }, { one / 2, { 255, 160, 100, 255 } }, { one, coral } });
    int32_t y = centre.y - radius;
    int32_t band = radius * 9 / 20;
    int32_t gap = radius / 48;
    while (y < centre.y) {
        canvas.fillPolygon(discSlice(centre, radius, y, std::min(y + band, centre.y)), fill);
        y += band + gap;
        band = std::max(band * 3 / 5, radius / 14);
        gap += radius / 40;
    }
}

// A sun with its halo, the halo blurred on a layer of its own.
void glowingSun(Canvas& canvas, int designWidth, int designHeight, Point centre, int32_t radius, int blur)
{
    Canvas glow = layerLike(canvas, designWidth, designHeight);
    glow.fillDisc(centre, radius * 11 / 10, Paint::solid(withAlpha(coral, 200)));
    glow.blur(blur);
    canvas.drawLayer(glow, 90);
    stripedSun(canvas, centre, radius);
}

// Ground below the horizon: darkening towards the bottom, with a grid in
// perspective whose lines brighten as they come nearer.
void perspectiveGrid(
    Canvas& canvas, int designWidth, int32_t horizon, int32_t bottom, Rgba line, int32_t spacing)
{
    canvas.fillRect(0, horizon, px(designWidth), bottom,
        vertical(horizon, bottom, { { 0, withAlpha(night, 90) }, { one, withAlpha(night, 220) } }));
    const Paint fade = vertical(
        horizon, bottom, { { 0, clearOf(line) }, { one / 3, withAlpha(line, 170) }, { one, line } });
    const int32_t centreX = px(designWidth) / 2;
    const int32_t depth = bottom - horizon;
    for (int k = -16; k <= 16; ++k) {
        const int32_t foot = centreX + k * spacing * 2;
        const int32_t far = centreX + k * spacing / 8;
        canvas.fillPolygon({ { far - u / 4, horizon }, { far + u / 4, horizon }, { foot + u, bottom },
                               { foot - u, bottom } },
            fade);
    }
    for (int j = 1; j <= 9; ++j) {
        const int32_t y = horizon + static_cast<int32_t>(int64_t { depth } * j * j / 81);
        const int32_t thickness = u / 2 + u * j / 6;
        canvas.fillRect(0, y, px(designWidth), y + thickness, fade);
    }
}

Picture finish(const char* name, int bits, const Canvas& canvas, Rgba matte)
{
    return { name, bits, canvas.toImage(matte) };
}

// A rounded square covering the canvas but for margin, corner radius r (design units).
std::vector<Point> roundedSquare(int32_t size, int32_t margin, int32_t r)
{
    std::vector<Point> outline;
    const Point corners[4] = { { size - margin - r, margin + r }, { size - margin - r, size - margin - r },
        { margin + r, size - margin - r }, { margin + r, margin + r } };
    for (int c = 0; c < 4; ++c) {
        for (int i = 0; i <= 8; ++i)
            outline.push_back(polar(corners[c], r, turnFraction(c * 8 + i, 32) + 3 * quarterTurn));
    }
    return outline;
}

} // namespace

std::vector<Picture> PicturePainter::paintAll()
{
    return { logo(), diagonals(), sunrise(), mountains(), equaliser(), waves(), emblem(), postcard(),
        skyline(), mandala(), eclipse(), flare() };
}

Picture PicturePainter::logo()
{
    // On screen the logo's quad is 640 x 288.
    constexpr int w = 640;
    constexpr int h = 288;
    Canvas canvas = canvasFor(512, 256, w, h);
    const Point centre = { px(w / 2), px(h / 2) };

    Canvas halo = layerLike(canvas, w, h);
    halo.fillRect(px(80), px(96), px(560), px(192), Paint::solid(withAlpha(violet, 170)));
    halo.blur(18);
    canvas.drawLayer(halo);
    stripedSun(canvas, { centre.x, px(150) }, px(64));
    rule(canvas, px(40), px(600), px(74), px(2), withAlpha(cream, 230));
    rule(canvas, px(40), px(600), px(214), px(2), withAlpha(cream, 230));
    rule(canvas, px(120), px(520), px(222), px(1), withAlpha(gold, 200));

    const std::string title = "zent.vorimel";
    const int32_t cell = px(8);
    const int32_t slant = px(8);
    const int32_t width = PixelFont::textWidth(title, cell);
    const Point origin = { centre.x - width / 2 - slant / 2, px(150) - cell * PixelFont::glyphRows / 2 };
    Canvas glow = layerLike(canvas, w, h);
    PixelFont::draw(glow, origin, title, cell, slant, Paint::solid(coral));
    glow.blur(5);
    canvas.drawLayer(glow);
    // A dark outline all round, then a deeper shadow below right.
    const Paint shade = Paint::solid(night);
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx)
            PixelFont::draw(
                canvas, { origin.x + dx * px(2), origin.y + dy * px(2) }, title, cell, slant, shade);
    }
    PixelFont::draw(canvas, { origin.x + px(4), origin.y + px(5) }, title, cell, slant, shade);
    const Paint face = vertical(origin.y, origin.y + cell * PixelFont::glyphRows,
        { { 0, cream }, { one / 2, gold }, { one, coral } });
    PixelFont::draw(canvas, origin, title, cell, slant, face);
    return finish("vorimel.tga", 32, canvas, night);
}

Picture PicturePainter::diagonals()
{
    // Fine lines at 45 degrees on screen, 4 pixels apart: the overlay covers the
    // whole 640 x 480 frame.
    constexpr int w = 640;
    constexpr int h = 480;
    Canvas canvas = canvasFor(512, 512, w, h);
    const Paint line = Paint::solid(withAlpha(cream, 190));
    for (int32_t k = -h - 8; k < w + 8; k += 4)
        canvas.strokeLine({ px(k), px(h + 4) }, { px(k + h + 8), px(-4) }, u, line);
    return finish("diagonales.tga", 32, canvas, cream);
}

Picture PicturePainter::sunrise()
{
    constexpr int w = 640;
    constexpr int h = 240;
    constexpr int32_t horizon = px(132);
    Canvas canvas = canvasFor(512, 256, w, h);
    const Point sun = { px(w / 2), horizon };
    canvas.fillRect(0, 0, px(w), horizon,
        Paint::radial(sun, px(300),
            { { 0, withAlpha(violet, 190) }, { one / 2, withAlpha(violet, 90) }, { one, clearOf(violet) } }));
    glowingSun(canvas, w, h, sun, px(96), 10);
    perspectiveGrid(canvas, w, horizon, px(h), coral, px(40));
    rule(canvas, 0, px(w), horizon, px(3), cream);
    return finish("cosa00d.tga", 32, canvas, coral);
}

Picture PicturePainter::mountains()
{
    constexpr int w = 640;
    constexpr int h = 240;
    constexpr int32_t horizon = px(140);
    Canvas canvas = canvasFor(512, 256, w, h);
    NoiseSource random(0x3A7E5u);
    for (int i = 0; i < 60; ++i) {
        const Point star
            = { px(static_cast<int32_t>(random.next() % w)), px(static_cast<int32_t>(random.next() % 90)) };
        canvas.fillDisc(
            star, u + static_cast<int32_t>(random.next() % u), Paint::solid(withAlpha(cream, 200)));
    }
    glowingSun(canvas, w, h, { px(w / 2), horizon }, px(110), 12);
    // Two ridges, the far one violet, the near one night, each with a lit edge.
    constexpr int32_t ridges[2][9]
        = { { 118, 92, 110, 70, 98, 82, 112, 88, 120 }, { 132, 110, 126, 96, 122, 104, 128, 100, 134 } };
    for (int r = 0; r < 2; ++r) {
        std::vector<Point> outline = { { 0, horizon } };
        for (int i = 0; i < 9; ++i)
            outline.push_back({ px(80 * i), px(ridges[r][i]) });
        std::vector<Point> body = outline;
        body.push_back({ px(w), horizon });
        const Rgba colour = r == 0 ? violet : night;
        canvas.fillPolygon(
            body, vertical(px(70), horizon, { { 0, colour }, { one, withAlpha(colour, 230) } }));
        for (size_t i = 1; i + 1 < outline.size(); ++i)
            canvas.strokeLine(
                outline[i], outline[i + 1], px(2), Paint::solid(r == 0 ? withAlpha(coral, 220) : cyan));
    }
    perspectiveGrid(canvas, w, horizon, px(h), cyan, px(40));
    rule(canvas, 0, px(w), horizon, px(3), cream);
    return finish("cosa00d2.tga", 32, canvas, cyan);
}

Picture PicturePainter::equaliser()
{
    constexpr int w = 640;
    constexpr int h = 240;
    Canvas canvas = canvasFor(512, 256, w, h);
    Canvas glow = layerLike(canvas, w, h);
    constexpr int bars = 40;
    const Paint fill = vertical(px(40), px(h), { { 0, cream }, { one / 3, gold }, { one, coral } });
    for (int i = 0; i < bars; ++i) {
        // Tall in the low bands, a second hump in the middle, like a spectrum.
        const int64_t lowBands = int64_t { bars - i } * (bars - i) * 150 / (bars * bars);
        const int64_t hump = (sineQ15(turnFraction(i, bars)) + 32767) * 60 / 65534;
        const int32_t height = static_cast<int32_t>(30 + lowBands + hump);
        const int32_t left = px(16 * i + 3);
        for (int32_t top = h - 8; top > h - height; top -= 8) {
            canvas.fillRect(left, px(top), left + px(11), px(top + 6), fill);
            glow.fillRect(left, px(top), left + px(11), px(top + 6), Paint::solid(gold));
        }
    }
    glow.blur(6);
    Canvas result = layerLike(canvas, w, h);
    result.drawLayer(glow, 80);
    result.drawLayer(canvas);
    return finish("cosa00e01.tga", 32, result, gold);
}

Picture PicturePainter::waves()
{
    constexpr int w = 640;
    constexpr int h = 240;
    Canvas canvas = canvasFor(512, 256, w, h);
    NoiseSource random(0x3A7E5EA5u);
    for (int i = 0; i < 24; ++i) {
        const Point spark = { px(static_cast<int32_t>(random.next() % w)),
            px(8 + static_cast<int32_t>(random.next() % 60)) };
        canvas.fillDisc(spark, px(1) + static_cast<int32_t>(random.next() % u), Paint::solid(cream));
    }
    // Four swells from the far one to the near one, each darker and taller.
    constexpr Rgba bodies[4] = { violet, { 70, 36, 140, 255 }, { 46, 28, 104, 255 }, night };
    constexpr Rgba crests[4] = { cream, cyan, gold, cyan };
    for (int k = 0; k < 4; ++k) {
        const int32_t base = px(96 + 38 * k);
        const int32_t amplitude = px(14 - 2 * k);
        const int32_t wavelength = 220 - 30 * k;
        std::vector<Point> crest;
        for (int32_t x = -8; x <= w + 8; x += 8) {
            const uint32_t phase = static_cast<uint32_t>(
                fullTurn * static_cast<uint64_t>(x + 60 * k) / static_cast<uint64_t>(wavelength));
            crest.push_back(
                { px(x), base + static_cast<int32_t>(int64_t { amplitude } * sineQ15(phase) / 32767) });
        }
        std::vector<Point> body = crest;
        body.push_back({ px(w + 8), px(h + 8) });
        body.push_back({ px(-8), px(h + 8) });
        canvas.fillPolygon(body,
            vertical(base - amplitude, px(h), { { 0, withAlpha(bodies[k], 225) }, { one, bodies[k] } }));
        for (size_t i = 0; i + 1 < crest.size(); ++i)
            canvas.strokeLine(crest[i], crest[i + 1], px(2), Paint::solid(withAlpha(crests[k], 230)));
    }
    return finish("cosa01b.tga", 32, canvas, cyan);
}

Picture PicturePainter::emblem()
{
    constexpr int w = 640;
    constexpr int h = 240;
    Canvas canvas = canvasFor(512, 256, w, h);
    const Point c = { px(w / 2), px(h / 2) };
    Canvas glow = layerLike(canvas, w, h);
    glow.fillRing(c, px(100), px(84), Paint::solid(cream));
    glow.blur(8);
    canvas.drawLayer(glow, 70);
    canvas.fillRing(c, px(100), px(92), Paint::solid(night));
    canvas.fillRing(c, px(88), px(85), Paint::solid(gold));
    for (int i = 0; i < 72; ++i) {
        const uint32_t a = turnFraction(i, 72);
        const int32_t length = i % 6 == 0 ? px(14) : px(6);
        canvas.strokeLine(polar(c, px(104), a), polar(c, px(104) + length, a), px(2), Paint::solid(night));
    }
    // Horizontal arms to the sides, with brackets and gold ends.
    for (int side = -1; side <= 1; side += 2) {
        const int32_t inner = c.x + side * px(122);
        const int32_t outer = c.x + side * px(300);
        const int32_t left = std::min(inner, outer);
        const int32_t right = std::max(inner, outer);
        canvas.fillRect(left, c.y - px(2), right, c.y + px(2),
            horizontal(left, right,
                side < 0
                    ? std::vector<Paint::Stop> { { 0, clearOf(night) }, { one / 3, night }, { one, night } }
                    : std::vector<Paint::Stop> {
                        { 0, night }, { one * 2 / 3, night }, { one, clearOf(night) } }));
        const int32_t tip = c.x + side * px(140);
        canvas.strokeLine({ tip, c.y - px(30) }, { tip - side * px(14), c.y }, px(4), Paint::solid(night));
        canvas.strokeLine({ tip - side * px(14), c.y }, { tip, c.y + px(30) }, px(4), Paint::solid(night));
        canvas.fillRect(c.x + side * px(200) - px(5), c.y - px(5), c.x + side * px(200) + px(5), c.y + px(5),
            Paint::solid(gold));
    }
    for (int i = 0; i < 2; ++i) {
        const int32_t dir = i == 0 ? -1 : 1;
        const int32_t y = c.y + dir * px(112);
        canvas.fillPolygon(
            { { c.x - px(9), y }, { c.x + px(9), y }, { c.x, y - dir * px(14) } }, Paint::solid(coral));
    }
    canvas.strokeLine({ c.x - px(18), c.y }, { c.x + px(18), c.y }, px(2), Paint::solid(night));
    canvas.strokeLine({ c.x, c.y - px(18) }, { c.x, c.y + px(18) }, px(2), Paint::solid(night));
    canvas.fillPolygon(
        { { c.x, c.y - px(6) }, { c.x + px(6), c.y }, { c.x, c.y + px(6) }, { c.x - px(6), c.y } },
        Paint::solid(gold));
    return finish("cosa02b.tga", 32, canvas, night);
}

Picture PicturePainter::postcard()
{
    // Opaque: the sun over the grid under an evening sky.
    constexpr int size = 256;
    constexpr int32_t horizon = px(150);
    Canvas canvas = canvasFor(size, size, size, size);
    canvas.clear(night);
    canvas.fillRect(
        0, 0, px(size), horizon, vertical(0, horizon, { { 0, night }, { one / 2, violet }, { one, coral } }));
    glowingSun(canvas, size, size, { px(size / 2), horizon }, px(70), 8);
    perspectiveGrid(canvas, size, horizon, px(size), coral, px(16));
    rule(canvas, 0, px(size), horizon, px(2), cream);
    return finish("cosa03.tga", 24, canvas, night);
}

Picture PicturePainter::skyline()
{
    constexpr int w = 640;
    constexpr int h = 240;
    constexpr int32_t horizon = px(176);
    Canvas canvas = canvasFor(512, 256, w, h);
    canvas.fillRect(0, px(20), px(w), horizon,
        vertical(px(20), horizon,
            { { 0, clearOf(violet) }, { one / 2, withAlpha(violet, 170) }, { one, withAlpha(coral, 230) } }));
    glowingSun(canvas, w, h, { px(430), horizon }, px(78), 10);
    NoiseSource random(0x5C71C0DEu);
    const Paint tower = vertical(px(50), horizon, { { 0, { 60, 40, 130, 255 } }, { one, night } });
    int32_t x = 0;
    while (x < w) {
        const int32_t width = 18 + static_cast<int32_t>(random.next() % 28);
        const int32_t top = 56 + static_cast<int32_t>(random.next() % 100);
        canvas.fillRect(px(x), px(top), px(x + width - 2), horizon, tower);
        canvas.fillRect(px(x), px(top), px(x + width - 2), px(top + 2), Paint::solid(withAlpha(coral, 200)));
        if (random.next() % 4 == 0)
            canvas.fillRect(
                px(x + width / 2 - 1), px(top - 14), px(x + width / 2 + 1), px(top), Paint::solid(night));
        for (int32_t wy = top + 8; wy + 6 < 176; wy += 10) {
            for (int32_t wx = x + 4; wx + 4 < x + width - 2; wx += 7) {
                const uint32_t pick = random.next() % 9;
                if (pick < 3)
                    canvas.fillRect(
                        px(wx), px(wy), px(wx + 3), px(wy + 5), Paint::solid(pick == 0 ? cyan : gold));
            }
        }
        x += width;
    }
    // The water: dark, with broken reflections of the sun.
    canvas.fillRect(
        0, horizon, px(w), px(h), vertical(horizon, px(h), { { 0, night }, { one, withAlpha(night, 240) } }));
    for (int i = 0; i < 9; ++i) {
        const int32_t y = px(184 + 6 * i);
        const int32_t half = px(60 - 5 * i + static_cast<int32_t>(random.next() % 12));
        canvas.fillRect(px(430) - half, y, px(430) + half, y + px(2),
            Paint::solid(withAlpha(i % 2 == 0 ? gold : coral, 210)));
    }
    rule(canvas, 0, px(w), horizon, px(2), cream);
    return finish("cosa03c.tga", 32, canvas, night);
}

Picture PicturePainter::mandala()
{
    // The quad spans 4 of the 5 units of width and the full height: 512 x 480.
    constexpr int w = 512;
    constexpr int h = 480;
    Canvas canvas = canvasFor(512, 512, w, h);
    const Point c = { px(w / 2), px(h / 2) };
    Canvas glow = layerLike(canvas, w, h);
    glow.fillRing(c, px(156), px(144), Paint::solid(coral));
    glow.fillDisc(c, px(56), Paint::solid(gold));
    glow.blur(12);
    canvas.drawLayer(glow);
    for (int i = 0; i < 24; ++i) {
        const uint32_t a = turnFraction(i, 24);
        const int32_t reach = i % 2 == 0 ? px(236) : px(218);
        canvas.strokeLine(polar(c, px(206), a), polar(c, reach, a), px(3), Paint::solid(gold));
    }
    canvas.fillRing(c, px(202), px(199), Paint::solid(cream));
    for (int i = 0; i < 48; ++i)
        canvas.fillDisc(polar(c, px(186), turnFraction(2 * i + 1, 96)), px(4), Paint::solid(gold));
    // Twelve petals between the rings.
    for (int i = 0; i < 12; ++i) {
        const uint32_t a = turnFraction(i, 12);
        const uint32_t side = turnFraction(1, 40);
        const Point tip = polar(c, px(146), a);
        canvas.fillPolygon(
            { polar(c, px(62), a), polar(c, px(110), a - side), tip, polar(c, px(110), a + side) },
            Paint::linear(c, tip, { { 0, withAlpha(coral, 120) }, { one, withAlpha(gold, 235) } }));
    }
    canvas.fillRing(
        c, px(154), px(146), vertical(c.y - px(154), c.y + px(154), { { 0, gold }, { one, coral } }));
    // Two triangles, one pointing up and one down.
    for (int t = 0; t < 2; ++t) {
        for (int k = 0; k < 3; ++k) {
            const uint32_t a = turnFraction(4 * k + 2 * t + 1, 12) + quarterTurn * 2;
            const uint32_t b = turnFraction(4 * (k + 1) + 2 * t + 1, 12) + quarterTurn * 2;
            canvas.strokeLine(
                polar(c, px(146), a), polar(c, px(146), b), px(3), Paint::solid(withAlpha(cream, 220)));
        }
    }
    canvas.fillRing(c, px(112), px(109), Paint::solid(cream));
    canvas.fillRing(c, px(60), px(52), Paint::solid(night));
    stripedSun(canvas, { c.x, c.y + px(22) }, px(46));
    return finish("cosa04d1.tga", 32, canvas, gold);
}

Picture PicturePainter::eclipse()
{
    constexpr int w = 512;
    constexpr int h = 480;
    Canvas canvas = canvasFor(512, 512, w, h);
    const Point c = { px(w / 2), px(h / 2) };
    Canvas corona = layerLike(canvas, w, h);
    corona.fillDisc(c, px(150),
        Paint::radial(c, px(150), { { 0, cream }, { one * 4 / 5, gold }, { one, withAlpha(coral, 0) } }));
    for (int i = 0; i < 36; ++i) {
        const uint32_t a = turnFraction(i, 36);
        const int32_t reach = px(i % 3 == 0 ? 236 : (i % 3 == 1 ? 196 : 172));
        const uint32_t side = turnFraction(1, 160);
        corona.fillPolygon({ polar(c, px(120), a - side), polar(c, reach, a), polar(c, px(120), a + side) },
            Paint::radial(c, reach, { { 0, gold }, { one / 2, coral }, { one, clearOf(coral) } }));
    }
    corona.blur(5);
    canvas.drawLayer(corona);
    canvas.fillRing(c, px(232), px(230), Paint::solid(withAlpha(cream, 110)));
    canvas.fillRing(c, px(172), px(170), Paint::solid(withAlpha(cream, 140)));
    canvas.fillDisc(c, px(124), Paint::solid(withAlpha(cream, 240)));
    canvas.fillDisc(c, px(120),
        Paint::radial(
            { c.x - px(30), c.y - px(30) }, px(150), { { 0, { 40, 30, 92, 255 } }, { one, night } }));
    // The last bright bead before totality.
    const Point bead = polar(c, px(122), turnFraction(5, 8));
    Canvas spark = layerLike(canvas, w, h);
    spark.fillDisc(bead, px(16), Paint::solid(cream));
    spark.blur(8);
    canvas.drawLayer(spark);
    canvas.fillDisc(bead, px(6), Paint::solid(cream));
    return finish("cosa05b1.tga", 32, canvas, gold);
}

Picture PicturePainter::flare()
{
    constexpr int size = 256;
    Canvas canvas = canvasFor(size, size, size, size);
    const Point c = { px(128), px(128) };
    canvas.fillDisc(c, px(127),
        Paint::radial(c, px(127),
            { { 0, cream }, { one / 8, withAlpha(gold, 230) }, { one / 2, withAlpha(coral, 50) },
                { one, clearOf(coral) } }));
    canvas.fillRing(c, px(96), px(90), Paint::solid(withAlpha(coral, 60)));
    Canvas streak = layerLike(canvas, size, size);
    streak.fillPolygon({ { px(2), c.y }, { c.x, c.y - px(4) }, { px(254), c.y }, { c.x, c.y + px(4) } },
        horizontal(0, px(size), { { 0, clearOf(cyan) }, { one / 2, cream }, { one, clearOf(cyan) } }));
    streak.blur(2);
    canvas.drawLayer(streak);
    for (int i = 1; i <= 3; ++i) {
        const Point ghost = { c.x + px(22 * i), c.y + px(22 * i) };
        canvas.fillDisc(ghost, px(6 + 3 * i), Paint::solid(withAlpha(i == 2 ? cyan : gold, 50)));
    }
    return finish("flare2.tga", 32, canvas, gold);
}

Image PicturePainter::icon()
{
    constexpr int size = 256;
    constexpr int32_t horizon = px(150);
    Canvas canvas = canvasFor(size, size, size, size);
    canvas.fillRect(0, 0, px(size), horizon,
        vertical(0, horizon, { { 0, night }, { one * 3 / 5, violet }, { one, coral } }));
    glowingSun(canvas, size, size, { px(size / 2), horizon }, px(76), 8);
    perspectiveGrid(canvas, size, horizon, px(size), cyan, px(16));
    canvas.fillRect(0, horizon, px(size), px(size), Paint::solid(withAlpha(night, 60)));
    rule(canvas, 0, px(size), horizon, px(3), cream);
    // Cut to a rounded tile inside a thin light frame.
    Canvas tile = canvasFor(size, size, size, size);
    tile.fillPolygon(roundedSquare(px(size), px(12), px(40)), Paint::solid(night));
    canvas.maskWith(tile);
    Canvas icon = canvasFor(size, size, size, size);
    icon.fillPolygon(roundedSquare(px(size), px(8), px(44)), Paint::solid(withAlpha(cream, 210)));
    icon.drawLayer(canvas);
    return icon.toImage(night);
}

} // namespace datagen
