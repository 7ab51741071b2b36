// An RGBA drawing surface with antialiased shapes: each shape is rasterised at
// several samples per pixel along both axes, its coverage counted per pixel, and
// the pixel blended once with the paint at the pixel's centre. Integers only.
#pragma once

#include "Image.h"
#include "Paint.h"

#include <cstdint>
#include <vector>

namespace datagen {

class Canvas {
public:
    // Coordinate units per output pixel; shapes are placed with this precision.
    static constexpr int32_t unit = 16;

    // supersample: samples per pixel along each axis; 1, 2, 4 or 8.
    Canvas(int width, int height, int supersample = 4);

    int width() const { return pixelWidth; }
    int height() const { return pixelHeight; }

    // Replaces every pixel with colour (no blending).
    void clear(Rgba colour);

    // Shapes are blended over what is there ("over" operator), weighted by the
    // part of each pixel they cover. Coordinates in units, y growing downwards.
    // Rectangles are half-open: [left, right) x [top, bottom).
    void fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, const Paint& paint);
    void fillDisc(Point centre, int32_t radius, const Paint& paint);
    void fillRing(Point centre, int32_t outerRadius, int32_t innerRadius, const Paint& paint);
    // Even-odd rule, so a polygon may cross itself.
    void fillPolygon(const std::vector<Point>& corners, const Paint& paint);
    void strokeLine(Point from, Point to, int32_t thickness, const Paint& paint);

    // The finished picture. Pixels that are fully transparent get the colour of
    // matte, so that texture filtering does not darken soft edges.
    Image toImage(Rgba matte = {0, 0, 0, 0}) const;

private:
    // Fills a shape that lies within [top, bottom]: for each sample row,
    // spansOfRow(rowCentreY, span) calls span(xBegin, xEnd) for every run of the
    // shape on that row; the samples whose centres lie in [xBegin, xEnd] are covered.
    template <typename SpanSource>
    void fillShape(int32_t top, int32_t bottom, const Paint& paint, SpanSource spansOfRow);
    // Counts the covered samples of one run into the pixels of the current row.
    void addSpan(int32_t xBegin, int32_t xEnd);
    // Blends paint into every pixel of the row by its counted coverage, then clears the counts.
    void blendCoveredRow(int pixelRow, const Paint& paint);
    int32_t sampleCentre(int index) const;

    int pixelWidth;
    int pixelHeight;
    int supersample;
    int32_t halfSample; // half a sample's size, in units
    // Premultiplied RGBA, 65025 (255 * 255) meaning 1.
    std::vector<uint32_t> pixels;
    // Samples covered per pixel of the row being filled, and the touched range.
    std::vector<uint16_t> coverage;
    int coveredBegin = 0;
    int coveredEnd = 0;
};

} // namespace datagen
