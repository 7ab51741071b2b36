// An RGBA drawing surface with antialiased shapes: each shape is rasterised at
// several samples per pixel along both axes, its coverage counted per pixel, and
// the pixel blended once with the paint at the pixel's centre. Integers only.
// Shapes may be given in a design space of another size (the size the picture has
// on screen): a circle there is drawn as the ellipse that the screen stretches back
// into a circle.
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

    // From now on every coordinate, radius and paint position is in units of a
    // design space of designWidth x designHeight pixels spread over the canvas.
    void setDesignSize(int designWidth, int designHeight);

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

    // Softens the whole canvas: three box blurs of the given radius in pixels along
    // each axis, close to a Gaussian. Beyond the edges counts as transparent.
    void blur(int radius);
    // Lays another canvas of the same size over this one ("over" operator), at
    // opacity percent.
    void drawLayer(const Canvas& layer, int opacity = 100);
    // Keeps of every pixel only the share that the mask (of the same size) covers.
    void maskWith(const Canvas& mask);

    // The finished picture. Pixels that are fully transparent get the colour of
    // matte, so that texture filtering does not darken soft edges.
    Image toImage(Rgba matte = { 0, 0, 0, 0 }) const;

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
    void boxBlur(int radius, bool alongRows);
    void fillCanvasPolygon(const std::vector<Point>& corners, const Paint& paint);
    // Design units to canvas units and back, per axis.
    int32_t toCanvasX(int64_t x) const;
    int32_t toCanvasY(int64_t y) const;
    Point toDesign(Point canvasPoint) const;

    int pixelWidth;
    int pixelHeight;
    int supersample;
    int32_t halfSample; // half a sample's size, in units
    int designWidth;
    int designHeight;
    // Premultiplied RGBA, 65025 (255 * 255) meaning 1.
    std::vector<uint32_t> pixels;
    // Samples covered per pixel of the row being filled, and the touched range.
    std::vector<uint16_t> coverage;
    int coveredBegin = 0;
    int coveredEnd = 0;
};

} // namespace datagen
