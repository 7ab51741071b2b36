// The painting canvas and its paints: coverage, blending, gradients.
#include "Canvas.h"
#include "Paint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using namespace datagen;

namespace {

constexpr int32_t u = Canvas::unit;
constexpr Rgba red = {255, 0, 0, 255};

int alphaAt(const Image& image, int x, int y)
{
    return image.pixel(x, y)[3];
}

} // namespace

TEST(Canvas, PartlyCoveredPixelGetsPartialAlphaButKeepsItsColour)
{
    Canvas canvas(4, 1);
    // Covers pixel 0 fully and the left half of pixel 1.
    canvas.fillRect(0, 0, u + u / 2, u, Paint::solid(red));
    const Image image = canvas.toImage();
    EXPECT_EQ(alphaAt(image, 0, 0), 255);
    EXPECT_NEAR(alphaAt(image, 1, 0), 128, 1);
    EXPECT_EQ(image.pixel(1, 0)[0], 255) << "an edge pixel must not be darkened";
    EXPECT_EQ(image.pixel(1, 0)[1], 0);
    EXPECT_EQ(alphaAt(image, 2, 0), 0);
}

TEST(Canvas, DiscCoversItsAreaWithSmoothEdges)
{
    Canvas canvas(64, 64);
    const int radius = 20;
    canvas.fillDisc({32 * u, 32 * u}, radius * u, Paint::solid(red));
    const Image image = canvas.toImage();
    double covered = 0;
    int partial = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const int a = alphaAt(image, x, y);
            covered += a / 255.0;
            partial += (a > 0 && a < 255) ? 1 : 0;
        }
    }
    EXPECT_NEAR(covered, std::acos(-1.0) * radius * radius, 0.01 * radius * radius);
    EXPECT_GT(partial, 2 * radius) << "edge pixels are antialiased";
    EXPECT_EQ(alphaAt(image, 32, 32), 255);
    EXPECT_EQ(alphaAt(image, 32, 8), 0);
}

TEST(Canvas, RingsAndSelfCrossingPolygonsLeaveTheirHolesEmpty)
{
    Canvas canvas(64, 64);
    canvas.fillRing({16 * u, 16 * u}, 12 * u, 6 * u, Paint::solid(red));
    // A five-pointed star drawn in one stroke: even-odd leaves its centre open.
    canvas.fillPolygon(
        {{48 * u, 34 * u}, {55 * u, 62 * u}, {34 * u, 44 * u}, {62 * u, 44 * u}, {41 * u, 62 * u}},
        Paint::solid(red));
    const Image image = canvas.toImage();
    EXPECT_EQ(alphaAt(image, 16, 16), 0) << "hole of the ring";
    EXPECT_EQ(alphaAt(image, 16, 7), 255) << "body of the ring";
    EXPECT_EQ(alphaAt(image, 48, 49), 0) << "centre of the star";
    EXPECT_EQ(alphaAt(image, 48, 38), 255) << "top point of the star";
}

TEST(Canvas, TranslucentPaintBlendsOverWhatIsThere)
{
    Canvas canvas(2, 1);
    canvas.clear({0, 0, 255, 255});
    canvas.fillRect(0, 0, u, u, Paint::solid({255, 0, 0, 128}));
    const Image image = canvas.toImage({9, 9, 9, 0});
    const uint8_t* p = image.pixel(0, 0);
    EXPECT_NEAR(p[0], 128, 1);
    EXPECT_EQ(p[1], 0);
    EXPECT_NEAR(p[2], 127, 1);
    EXPECT_EQ(p[3], 255);

    Canvas empty(1, 1);
    const Image clear = empty.toImage({9, 8, 7, 0});
    EXPECT_EQ(clear.pixel(0, 0)[0], 9) << "transparent pixels take the matte colour";
    EXPECT_EQ(clear.pixel(0, 0)[3], 0);
}

TEST(Paint, GradientsRunThroughTheirStopsAndHoldBeyondThem)
{
    const Rgba black = {0, 0, 0, 255};
    const Rgba white = {255, 255, 255, 255};
    const Paint linear = Paint::linear({0, 0}, {100, 0}, {{0, black}, {Paint::gradientOne, white}});
    EXPECT_NEAR(linear.at({50, 7}).r, 128, 1);
    EXPECT_EQ(linear.at({-30, 0}).r, 0);
    EXPECT_EQ(linear.at({130, 0}).r, 255);

    const Paint radial = Paint::radial(
        {0, 0}, 100, {{0, white}, {Paint::gradientOne / 2, red}, {Paint::gradientOne, black}});
    EXPECT_EQ(radial.at({0, 0}).g, 255);
    const Rgba middle = radial.at({30, 40}); // distance 50: the middle stop
    EXPECT_EQ(middle.r, 255);
    EXPECT_EQ(middle.g, 0);
    EXPECT_NEAR(radial.at({0, 75}).r, 128, 1);
    EXPECT_EQ(radial.at({300, 400}).r, 0);
}
