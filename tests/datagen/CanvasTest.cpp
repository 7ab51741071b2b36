// The painting canvas and its paints: coverage, blending, design space, glows.
#include "Canvas.h"
#include "Paint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using namespace datagen;

namespace {

constexpr int32_t u = Canvas::unit;
constexpr Rgba red = { 255, 0, 0, 255 };

int alphaAt(const Image& image, int x, int y)
{
    return image.pixel(x, y)[3];
}

double coverage(const Image& image)
{
    double sum = 0;
    for (size_t i = 3; i < image.rgba.size(); i += 4)
        sum += image.rgba[i] / 255.0;
    return sum;
}

} // namespace

TEST(Canvas, PartlyCoveredPixelGetsPartialAlphaButKeepsItsColour)
{
    Canvas canvas(4, 1);
    canvas.fillRect(0, 0, u + u / 2, u, Paint::solid(red));
    const Image image = canvas.toImage({ 9, 9, 9, 0 });
    EXPECT_EQ(alphaAt(image, 0, 0), 255);
    EXPECT_NEAR(alphaAt(image, 1, 0), 128, 1);
    EXPECT_EQ(image.pixel(1, 0)[0], 255) << "an edge pixel must not be darkened";
    EXPECT_EQ(alphaAt(image, 2, 0), 0);
    EXPECT_EQ(image.pixel(2, 0)[0], 9) << "transparent pixels take the matte colour";
}

TEST(Canvas, DiscsCoverTheirAreaAndRingsAndStarsLeaveTheirHolesEmpty)
{
    Canvas canvas(64, 64);
    canvas.fillDisc({ 32 * u, 32 * u }, 20 * u, Paint::solid(red));
    EXPECT_NEAR(coverage(canvas.toImage()), std::acos(-1.0) * 400, 4.0);

    Canvas shapes(64, 64);
    shapes.fillRing({ 16 * u, 16 * u }, 12 * u, 6 * u, Paint::solid(red));
    // A five-pointed star drawn in one stroke: even-odd leaves its centre open.
    shapes.fillPolygon({ { 48 * u, 34 * u }, { 55 * u, 62 * u }, { 34 * u, 44 * u }, { 62 * u, 44 * u },
                           { 41 * u, 62 * u } },
        Paint::solid(red));
    const Image image = shapes.toImage();
    EXPECT_EQ(alphaAt(image, 16, 16), 0) << "hole of the ring";
    EXPECT_EQ(alphaAt(image, 16, 7), 255) << "body of the ring";
    EXPECT_EQ(alphaAt(image, 48, 49), 0) << "centre of the star";
    EXPECT_EQ(alphaAt(image, 48, 38), 255) << "top point of the star";
}

TEST(Canvas, ACircleInDesignSpaceBecomesTheEllipseTheScreenStretchesBack)
{
    // 64 x 32 pixels shown as 128 x 32: a circle of radius 12 spans 6 pixels to
    // either side and 12 up and down.
    Canvas canvas(64, 32);
    canvas.setDesignSize(128, 32);
    canvas.fillDisc({ 64 * u, 16 * u }, 12 * u, Paint::solid(red));
    const Image image = canvas.toImage();
    EXPECT_EQ(alphaAt(image, 32, 5), 255);
    EXPECT_EQ(alphaAt(image, 32, 26), 255);
    EXPECT_EQ(alphaAt(image, 27, 16), 255);
    EXPECT_EQ(alphaAt(image, 24, 16), 0);
    EXPECT_NEAR(coverage(image), std::acos(-1.0) * 144 / 2, 3.0);
    // Paints are placed in design units too: the gradient's middle is the canvas's middle.
    Canvas graded(64, 8);
    graded.setDesignSize(128, 8);
    graded.fillRect(0, 0, 128 * u, 8 * u,
        Paint::linear({ 0, 0 }, { 128 * u, 0 },
            { { 0, { 0, 0, 0, 255 } }, { Paint::gradientOne, { 255, 255, 255, 255 } } }));
    EXPECT_NEAR(graded.toImage().pixel(32, 4)[0], 128, 3);
}

TEST(Canvas, TranslucentPaintBlendsOverWhatIsThere)
{
    Canvas canvas(2, 1);
    canvas.clear({ 0, 0, 255, 255 });
    canvas.fillRect(0, 0, u, u, Paint::solid({ 255, 0, 0, 128 }));
    const Image image = canvas.toImage();
    const uint8_t* p = image.pixel(0, 0);
    EXPECT_NEAR(p[0], 128, 1);
    EXPECT_NEAR(p[2], 127, 1);
    EXPECT_EQ(p[3], 255);
}

TEST(Canvas, BlurSpreadsAGlowWithoutLosingItAndLayersAndMasksCombine)
{
    Canvas glow(32, 32);
    glow.fillRect(12 * u, 12 * u, 20 * u, 20 * u, Paint::solid(red));
    const double before = coverage(glow.toImage());
    glow.blur(2);
    const Image blurred = glow.toImage();
    EXPECT_NEAR(coverage(blurred), before, 1.0) << "a blur moves coverage, it does not add or lose it";
    EXPECT_GT(alphaAt(blurred, 10, 16), 0);
    EXPECT_LT(alphaAt(blurred, 16, 16), 255);
    EXPECT_GE(blurred.pixel(10, 16)[0], 250) << "the glow keeps its colour";

    Canvas base(32, 32);
    base.clear({ 0, 0, 255, 255 });
    base.drawLayer(glow, 50);
    Canvas mask(32, 32);
    mask.fillRect(0, 0, 16 * u, 32 * u, Paint::solid(red));
    base.maskWith(mask);
    const Image result = base.toImage();
    EXPECT_EQ(alphaAt(result, 20, 16), 0) << "outside the mask";
    EXPECT_EQ(alphaAt(result, 8, 16), 255);
    EXPECT_GT(result.pixel(15, 16)[0], 0) << "the layer shows through at half opacity";
    EXPECT_GT(result.pixel(15, 16)[2], 0);
}

TEST(Paint, GradientsRunThroughTheirStopsAndHoldBeyondThem)
{
    const Rgba black = { 0, 0, 0, 255 };
    const Rgba white = { 255, 255, 255, 255 };
    const Paint linear = Paint::linear({ 0, 0 }, { 100, 0 }, { { 0, black }, { Paint::gradientOne, white } });
    EXPECT_NEAR(linear.at({ 50, 7 }).r, 128, 1);
    EXPECT_EQ(linear.at({ -30, 0 }).r, 0);
    EXPECT_EQ(linear.at({ 130, 0 }).r, 255);
    const Paint radial = Paint::radial(
        { 0, 0 }, 100, { { 0, white }, { Paint::gradientOne / 2, red }, { Paint::gradientOne, black } });
    EXPECT_EQ(radial.at({ 30, 40 }).g, 0) << "distance 50: the middle stop";
    EXPECT_NEAR(radial.at({ 0, 75 }).r, 128, 1);
    EXPECT_EQ(radial.at({ 300, 400 }).r, 0);
}
