// The pictures: simple geometric artwork drawn on a supersampled canvas.
// Sizes are powers of two; every picture but the checkerboard has an alpha
// channel, since the scenes blend them.
#include "PicturePainter.h"

#include "Canvas.h"
#include "FixedMath.h"
#include "NoiseSource.h"
#include "PixelFont.h"

#include <vector>

namespace datagen {

namespace {

constexpr int32_t u = Canvas::unit;
constexpr uint32_t quarterTurn = 1u << 30;

// Pixels to canvas units.
constexpr int32_t px(int32_t pixels)
{
    return pixels * u;
}

constexpr Rgba clearOf(Rgba c)
{
    return {c.r, c.g, c.b, 0};
}

constexpr Rgba withAlpha(Rgba c, uint8_t a)
{
    return {c.r, c.g, c.b, a};
}

constexpr Rgba white = {255, 255, 255, 255};
constexpr Rgba black = {0, 0, 0, 255};

// The point at distance radius from centre in direction phase (a full turn is 2^32,
// 0 pointing right, growing clockwise on screen).
Point polar(Point centre, int32_t radius, uint32_t phase)
{
    const int64_t c = sineQ15(phase + quarterTurn);
    const int64_t s = sineQ15(phase);
    return {centre.x + static_cast<int32_t>(radius * c / 32767),
        centre.y + static_cast<int32_t>(radius * s / 32767)};
}

uint32_t turnFraction(int index, int count)
{
    return static_cast<uint32_t>(fullTurn * static_cast<uint64_t>(index) / static_cast<uint64_t>(count));
}

Paint glow(Point centre, int32_t radius, Rgba core, Rgba rim)
{
    return Paint::radial(
        centre, radius, {{0, core}, {Paint::gradientOne / 3, rim}, {Paint::gradientOne, clearOf(rim)}});
}

Picture finish(const char* name, int bits, const Canvas& canvas, Rgba matte)
{
    return {name, bits, canvas.toImage(matte)};
}

} // namespace

std::vector<Picture> PicturePainter::paintAll()
{
    return {logo(), diagonals(), targets(), triangles(), pulseBand(), diamonds(), emblem(), checkerboard(),
        skyline(), mandala(), starburst(), flare()};
}

Picture PicturePainter::logo()
{
    Canvas canvas(512, 256);
    const Point centre = {px(256), px(128)};
    const Rgba violet = {96, 48, 190, 255};
    canvas.fillDisc(centre, px(250), glow(centre, px(250), withAlpha(violet, 170), withAlpha(violet, 90)));

    const std::string title = "zent.vorimel";
    const int32_t cell = px(7);
    const int32_t slant = px(8);
    const int32_t width = PixelFont::textWidth(title, cell);
    const Point origin = {centre.x - width / 2 - slant / 2, centre.y - cell * PixelFont::glyphRows / 2};
    const Paint shadow = Paint::solid({10, 0, 30, 150});
    PixelFont::draw(canvas, {origin.x + px(4), origin.y + px(4)}, title, cell, slant, shadow);
    const Paint face = Paint::linear({0, origin.y}, {0, origin.y + cell * PixelFont::glyphRows},
        {{0, white}, {Paint::gradientOne / 2, {150, 235, 255, 255}},
            {Paint::gradientOne, {200, 120, 255, 255}}});
    PixelFont::draw(canvas, origin, title, cell, slant, face);

    // Rules above and below, fading out at both ends.
    const Rgba rule = {190, 220, 255, 220};
    const Paint rulePaint = Paint::linear({px(40), 0}, {px(472), 0},
        {{0, clearOf(rule)}, {Paint::gradientOne / 4, rule}, {Paint::gradientOne * 3 / 4, rule},
            {Paint::gradientOne, clearOf(rule)}});
    canvas.fillRect(px(40), px(70), px(472), px(72), rulePaint);
    canvas.fillRect(px(40), px(186), px(472), px(188), rulePaint);
    return finish("vorimel.tga", 32, canvas, violet);
}

Picture PicturePainter::diagonals()
{
    // One fine line every 4 pixels at 45 degrees; the period divides the size, so
    // the picture tiles.
    Canvas canvas(256, 256);
    const Paint line = Paint::solid({225, 232, 255, 255});
    for (int32_t k = -256; k < 512; k += 4)
        canvas.strokeLine({px(k), px(-8)}, {px(k + 272), px(264)}, u * 5 / 4, line);
    return finish("diagonales.tga", 32, canvas, {225, 232, 255, 0});
}

Picture PicturePainter::targets()
{
    Canvas canvas(512, 256);
    const Rgba orange = {255, 140, 30, 255};
    const Rgba red = {220, 30, 60, 255};
    // A ground band that fades upwards.
    canvas.fillRect(0, px(160), px(512), px(256),
        Paint::linear(
            {0, px(160)}, {0, px(256)}, {{0, clearOf(red)}, {Paint::gradientOne, withAlpha(red, 200)}}));
    for (int i = 0; i < 8; ++i) {
        const Point c = {px(32 + 64 * i), px(i % 2 == 0 ? 150 : 110)};
        const Rgba ringColour = i % 2 == 0 ? orange : red;
        canvas.fillDisc(c, px(40), glow(c, px(40), withAlpha(ringColour, 120), withAlpha(ringColour, 40)));
        for (int r = 0; r < 3; ++r)
            canvas.fillRing(c, px(30 - 9 * r), px(26 - 9 * r), Paint::solid(r == 1 ? white : ringColour));
        canvas.fillDisc(c, px(4), Paint::solid(white));
    }
    return finish("cosa00d.tga", 32, canvas, orange);
}

Picture PicturePainter::triangles()
{
    Canvas canvas(512, 256);
    const Rgba cyan = {40, 220, 255, 255};
    const Rgba magenta = {255, 50, 200, 255};
    for (int i = 0; i < 16; ++i) {
        const int32_t left = px(32 * i);
        const bool up = i % 2 == 0;
        const Rgba colour = up ? cyan : magenta;
        const int32_t top = px(up ? 96 : 64);
        const int32_t bottom = px(up ? 224 : 192);
        const Paint fill = Paint::linear({0, top}, {0, bottom},
            {{0, withAlpha(colour, up ? 60 : 230)}, {Paint::gradientOne, withAlpha(colour, up ? 230 : 60)}});
        if (up)
            canvas.fillPolygon(
                {{left + px(16), top}, {left + px(48), bottom}, {left - px(16), bottom}}, fill);
        else
            canvas.fillPolygon({{left - px(16), top}, {left + px(48), top}, {left + px(16), bottom}}, fill);
    }
    canvas.fillRect(0, px(226), px(512), px(230), Paint::solid(withAlpha(white, 200)));
    return finish("cosa00d2.tga", 32, canvas, cyan);
}

Picture PicturePainter::pulseBand()
{
    Canvas canvas(512, 256);
    const Rgba gold = {255, 200, 90, 255};
    const Paint band = Paint::linear({0, px(96)}, {0, px(160)},
        {{0, clearOf(gold)}, {Paint::gradientOne / 2, withAlpha(white, 230)},
            {Paint::gradientOne, clearOf(gold)}});
    canvas.fillRect(0, px(96), px(512), px(160), band);
    for (int i = 0; i < 5; ++i) {
        const Point c = {px(64 + 96 * i), px(128)};
        canvas.fillDisc(c, px(56), glow(c, px(56), white, withAlpha(gold, 140)));
    }
    return finish("cosa00e01.tga", 32, canvas, gold);
}

Picture PicturePainter::diamonds()
{
    Canvas canvas(512, 256);
    const Rgba yellow = {255, 230, 60, 255};
    const Rgba lilac = {200, 150, 255, 255};
    for (int i = 0; i < 9; ++i) {
        const Point c = {px(64 * i), px(128)};
        const int32_t r = px(i % 2 == 0 ? 60 : 40);
        canvas.fillDisc(c, r + px(20), glow(c, r + px(20), withAlpha(lilac, 110), withAlpha(lilac, 40)));
        const Paint fill
            = Paint::linear({c.x, c.y - r}, {c.x, c.y + r}, {{0, white}, {Paint::gradientOne, yellow}});
        canvas.fillPolygon({{c.x, c.y - r}, {c.x + r, c.y}, {c.x, c.y + r}, {c.x - r, c.y}}, fill);
        const int32_t hole = r / 2;
        canvas.fillPolygon({{c.x, c.y - hole}, {c.x + hole, c.y}, {c.x, c.y + hole}, {c.x - hole, c.y}},
            Paint::solid(withAlpha(lilac, 160)));
    }
    return finish("cosa01b.tga", 32, canvas, yellow);
}

Picture PicturePainter::emblem()
{
    Canvas canvas(512, 256);
    const Point c = {px(256), px(128)};
    const Rgba blue = {60, 140, 255, 255};
    canvas.fillDisc(c, px(124), glow(c, px(124), withAlpha(blue, 150), withAlpha(blue, 60)));
    canvas.fillRing(c, px(100), px(90), Paint::solid(white));
    canvas.fillRing(c, px(80), px(76), Paint::solid(withAlpha(blue, 230)));
    canvas.strokeLine({px(40), px(128)}, {px(472), px(128)}, px(3), Paint::solid(withAlpha(white, 200)));
    canvas.strokeLine({px(256), px(8)}, {px(256), px(248)}, px(3), Paint::solid(withAlpha(white, 200)));
    for (int i = 0; i < 8; ++i) {
        const Point dot = polar(c, px(95), turnFraction(i, 8) + turnFraction(1, 16));
        canvas.fillDisc(dot, px(9), Paint::solid(blue));
        canvas.fillDisc(dot, px(4), Paint::solid(white));
    }
    return finish("cosa02b.tga", 32, canvas, blue);
}

Picture PicturePainter::checkerboard()
{
    Canvas canvas(256, 256, 1);
    canvas.clear(black);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const uint8_t shade = static_cast<uint8_t>(64 + 20 * ((x + y) % 8));
            const Rgba colour = (x + y) % 2 == 0 ? Rgba{shade, static_cast<uint8_t>(shade / 2), 40, 255}
                                                 : Rgba{30, static_cast<uint8_t>(shade / 2), shade, 255};
            canvas.fillRect(px(32 * x), px(32 * y), px(32 * x + 32), px(32 * y + 32), Paint::solid(colour));
        }
    }
    return finish("cosa03.tga", 24, canvas, black);
}

Picture PicturePainter::skyline()
{
    Canvas canvas(512, 256);
    const Rgba dusk = {255, 120, 60, 255};
    const Rgba night = {30, 20, 80, 255};
    canvas.fillRect(0, 0, px(512), px(256),
        Paint::linear(
            {0, 0}, {0, px(256)}, {{0, clearOf(night)}, {Paint::gradientOne, withAlpha(dusk, 170)}}));
    const Point sun = {px(360), px(150)};
    canvas.fillDisc(sun, px(70), glow(sun, px(70), {255, 240, 180, 255}, withAlpha(dusk, 180)));
    NoiseSource random(0x5C71C0DEu);
    const Paint tower = Paint::linear(
        {0, px(60)}, {0, px(256)}, {{0, {60, 50, 130, 255}}, {Paint::gradientOne, {12, 8, 40, 255}}});
    const Paint window = Paint::solid({255, 220, 120, 255});
    int32_t x = 0;
    while (x < 512) {
        const int32_t width = 18 + static_cast<int32_t>(random.next() % 30);
        const int32_t top = 70 + static_cast<int32_t>(random.next() % 120);
        canvas.fillRect(px(x), px(top), px(x + width - 2), px(256), tower);
        for (int32_t wy = top + 8; wy < 248; wy += 12) {
            for (int32_t wx = x + 4; wx + 4 < x + width - 2; wx += 7) {
                if (random.next() % 3 == 0)
                    canvas.fillRect(px(wx), px(wy), px(wx + 3), px(wy + 5), window);
            }
        }
        x += width;
    }
    return finish("cosa03c.tga", 32, canvas, night);
}

Picture PicturePainter::mandala()
{
    Canvas canvas(512, 512);
    const Point c = {px(256), px(256)};
    const Rgba teal = {40, 230, 190, 255};
    const Rgba rose = {255, 90, 150, 255};
    canvas.fillDisc(c, px(250), glow(c, px(250), withAlpha(teal, 120), withAlpha(teal, 50)));
    constexpr int petals = 12;
    for (int i = 0; i < petals; ++i) {
        const uint32_t a = turnFraction(i, petals);
        const uint32_t side = turnFraction(2, 5 * petals); // petals do not touch
        const Point tip = polar(c, px(230), a);
        const Paint fill
            = Paint::linear(c, tip, {{0, withAlpha(rose, 40)}, {Paint::gradientOne, withAlpha(white, 230)}});
        canvas.fillPolygon({c, polar(c, px(130), a - side), tip, polar(c, px(130), a + side)}, fill);
    }
    canvas.fillRing(c, px(120), px(112), Paint::solid(white));
    canvas.fillRing(c, px(60), px(50), Paint::solid(withAlpha(teal, 230)));
    canvas.fillDisc(c, px(24), glow(c, px(24), white, rose));
    return finish("cosa04d1.tga", 32, canvas, teal);
}

Picture PicturePainter::starburst()
{
    Canvas canvas(512, 512);
    const Point c = {px(256), px(256)};
    const Rgba amber = {255, 170, 40, 255};
    const Rgba crimson = {230, 30, 50, 255};
    canvas.fillDisc(c, px(250), glow(c, px(250), withAlpha(amber, 150), withAlpha(crimson, 60)));
    constexpr int rays = 24;
    for (int i = 0; i < rays; ++i) {
        const uint32_t a = turnFraction(i, rays);
        const int32_t length = px(i % 2 == 0 ? 250 : 170);
        const Point tip = polar(c, length, a);
        const uint32_t side = turnFraction(1, 8 * rays);
        const Paint fill = Paint::linear(c, tip, {{0, white}, {Paint::gradientOne, clearOf(amber)}});
        canvas.fillPolygon({polar(c, px(30), a - side), tip, polar(c, px(30), a + side)}, fill);
    }
    canvas.fillRing(c, px(90), px(84), Paint::solid(withAlpha(white, 220)));
    canvas.fillDisc(c, px(40), glow(c, px(40), white, amber));
    return finish("cosa05b1.tga", 32, canvas, amber);
}

Picture PicturePainter::flare()
{
    Canvas canvas(256, 256);
    const Point c = {px(128), px(128)};
    const Rgba warm = {255, 190, 120, 255};
    canvas.fillDisc(c, px(127),
        Paint::radial(c, px(127),
            {{0, white}, {Paint::gradientOne / 6, withAlpha(warm, 230)},
                {Paint::gradientOne / 2, withAlpha(warm, 60)}, {Paint::gradientOne, clearOf(warm)}}));
    // Four thin streaks through the centre.
    for (int i = 0; i < 4; ++i) {
        const uint32_t a = turnFraction(i, 4);
        const Point tip = polar(c, px(126), a);
        const Paint fill = Paint::linear(c, tip, {{0, white}, {Paint::gradientOne, clearOf(white)}});
        const uint32_t side = quarterTurn;
        canvas.fillPolygon({polar(c, px(3), a - side), tip, polar(c, px(3), a + side)}, fill);
    }
    return finish("flare2.tga", 32, canvas, warm);
}

} // namespace datagen
