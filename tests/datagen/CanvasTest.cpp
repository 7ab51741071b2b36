// The painting canvas: shapes are supersampled, so their edges come out antialiased.
#include "Canvas.h"
#include "Paint.h"

#include <gtest/gtest.h>

using namespace datagen;

TEST(Canvas, PartlyCoveredEdgePixelGetsPartialAlphaButKeepsItsColour)
{
    constexpr int32_t u = Canvas::unit;
    Canvas canvas(4, 1);
    canvas.fillRect(0, 0, u + u / 2, u, Paint::solid({ 255, 0, 0, 255 }));
    const Image image = canvas.toImage({ 9, 9, 9, 0 });
    EXPECT_EQ(image.pixel(0, 0)[3], 255);
    EXPECT_NEAR(image.pixel(1, 0)[3], 128, 1) << "half covered";
    EXPECT_EQ(image.pixel(1, 0)[0], 255) << "an edge pixel must not be darkened";
    EXPECT_EQ(image.pixel(2, 0)[3], 0);
    EXPECT_EQ(image.pixel(2, 0)[0], 9) << "transparent pixels take the matte colour";
}
