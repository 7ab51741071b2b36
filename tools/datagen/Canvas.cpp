// Span rasterisation on the sample grid, coverage counting and blending.
#include "Canvas.h"

#include "FixedMath.h"

#include <algorithm>
#include <cassert>

namespace datagen {

namespace {

constexpr uint64_t opaque = 255 * 255;

int64_t floorDiv(int64_t a, int64_t b)
{
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int64_t ceilDiv(int64_t a, int64_t b)
{
    return -floorDiv(-a, b);
}

uint8_t toByte(uint64_t value, uint64_t scale)
{
    return static_cast<uint8_t>(std::min<uint64_t>(255, (value * 255 + scale / 2) / scale));
}

} // namespace

Canvas::Canvas(int width, int height, int supersample_)
    : pixelWidth(width)
    , pixelHeight(height)
    , supersample(supersample_)
    , halfSample(unit / (2 * supersample_))
    , pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0)
    , coverage(static_cast<size_t>(width), 0)
{
    assert(width > 0 && height > 0 && "a canvas needs a size");
    assert(supersample > 0 && unit % (2 * supersample) == 0 && "supersample must divide the unit");
}

void Canvas::clear(Rgba colour)
{
    const uint32_t pre[4] = {uint32_t{colour.r} * colour.a, uint32_t{colour.g} * colour.a,
        uint32_t{colour.b} * colour.a, uint32_t{colour.a} * 255};
    for (size_t i = 0; i < pixels.size(); i += 4)
        std::copy(pre, pre + 4, &pixels[i]);
}

int32_t Canvas::sampleCentre(int index) const
{
    return (2 * index + 1) * halfSample;
}

template <typename SpanSource>
void Canvas::fillShape(int32_t top, int32_t bottom, const Paint& paint, SpanSource spansOfRow)
{
    // Sample rows whose centres lie in [top, bottom].
    const int64_t sampleRows = int64_t{pixelHeight} * supersample;
    const int64_t first = std::max<int64_t>(ceilDiv(int64_t{top} - halfSample, 2 * halfSample), 0);
    const int64_t last
        = std::min<int64_t>(floorDiv(int64_t{bottom} - halfSample, 2 * halfSample), sampleRows - 1);
    if (first > last)
        return;
    for (int64_t pixelRow = first / supersample; pixelRow <= last / supersample; ++pixelRow) {
        coveredBegin = pixelWidth;
        coveredEnd = 0;
        const int64_t rowBegin = std::max<int64_t>(first, pixelRow * supersample);
        const int64_t rowEnd = std::min<int64_t>(last, pixelRow * supersample + supersample - 1);
        for (int64_t sy = rowBegin; sy <= rowEnd; ++sy) {
            spansOfRow(sampleCentre(static_cast<int>(sy)),
                [this](int32_t xBegin, int32_t xEnd) { addSpan(xBegin, xEnd); });
        }
        blendCoveredRow(static_cast<int>(pixelRow), paint);
    }
}

void Canvas::addSpan(int32_t xBegin, int32_t xEnd)
{
    const int64_t sampleColumns = int64_t{pixelWidth} * supersample;
    const int64_t first = std::max<int64_t>(ceilDiv(int64_t{xBegin} - halfSample, 2 * halfSample), 0);
    const int64_t last
        = std::min<int64_t>(floorDiv(int64_t{xEnd} - halfSample, 2 * halfSample), sampleColumns - 1);
    if (first > last)
        return;
    const int firstPixel = static_cast<int>(first / supersample);
    const int lastPixel = static_cast<int>(last / supersample);
    if (firstPixel == lastPixel) {
        coverage[static_cast<size_t>(firstPixel)] += static_cast<uint16_t>(last - first + 1);
    } else {
        coverage[static_cast<size_t>(firstPixel)] += static_cast<uint16_t>(supersample - first % supersample);
        for (int p = firstPixel + 1; p < lastPixel; ++p)
            coverage[static_cast<size_t>(p)] += static_cast<uint16_t>(supersample);
        coverage[static_cast<size_t>(lastPixel)] += static_cast<uint16_t>(last % supersample + 1);
    }
    coveredBegin = std::min(coveredBegin, firstPixel);
    coveredEnd = std::max(coveredEnd, lastPixel + 1);
}

void Canvas::blendCoveredRow(int pixelRow, const Paint& paint)
{
    const uint64_t full = static_cast<uint64_t>(supersample) * static_cast<uint64_t>(supersample);
    const int32_t yc = pixelRow * unit + unit / 2;
    for (int x = coveredBegin; x < coveredEnd; ++x) {
        const uint64_t covered = coverage[static_cast<size_t>(x)];
        coverage[static_cast<size_t>(x)] = 0;
        if (covered == 0)
            continue;
        const Rgba c = paint.at({x * unit + unit / 2, yc});
        // Alpha of this paint over this pixel, 65025 meaning opaque.
        const uint64_t alpha = (uint64_t{c.a} * 255 * std::min(covered, full) + full / 2) / full;
        if (alpha == 0)
            continue;
        const uint64_t keep = opaque - alpha;
        uint32_t* d = &pixels[(static_cast<size_t>(pixelRow) * pixelWidth + static_cast<size_t>(x)) * 4];
        const uint64_t source[4] = {c.r, c.g, c.b, 255};
        for (int i = 0; i < 4; ++i)
            d[i] = static_cast<uint32_t>(
                (source[i] * alpha * 255 + uint64_t{d[i]} * keep + opaque / 2) / opaque);
    }
}

void Canvas::fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, const Paint& paint)
{
    // Half-open on the far sides so that adjacent rectangles do not overlap.
    fillShape(top, bottom - 1, paint, [&](int32_t, auto span) { span(left, right - 1); });
}

void Canvas::fillDisc(Point centre, int32_t radius, const Paint& paint)
{
    fillRing(centre, radius, 0, paint);
}

void Canvas::fillRing(Point centre, int32_t outerRadius, int32_t innerRadius, const Paint& paint)
{
    assert(outerRadius >= innerRadius && innerRadius >= 0 && "ring radii out of order");
    const int64_t outer2 = int64_t{outerRadius} * outerRadius;
    const int64_t inner2 = int64_t{innerRadius} * innerRadius;
    fillShape(centre.y - outerRadius, centre.y + outerRadius, paint, [&](int32_t yc, auto span) {
        const int64_t dy = yc - centre.y;
        const int64_t dy2 = dy * dy;
        if (dy2 > outer2)
            return;
        const int32_t outerHalf = static_cast<int32_t>(integerSqrt(static_cast<uint64_t>(outer2 - dy2)));
        if (innerRadius == 0 || dy2 >= inner2) {
            span(centre.x - outerHalf, centre.x + outerHalf);
            return;
        }
        // Points exactly on the inner circle stay outside the ring.
        const int32_t innerHalf = static_cast<int32_t>(integerSqrt(static_cast<uint64_t>(inner2 - dy2)));
        span(centre.x - outerHalf, centre.x - innerHalf - 1);
        span(centre.x + innerHalf + 1, centre.x + outerHalf);
    });
}

void Canvas::fillPolygon(const std::vector<Point>& corners, const Paint& paint)
{
    if (corners.size() < 3)
        return;
    int32_t top = corners.front().y;
    int32_t bottom = top;
    for (const Point& p : corners) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    std::vector<int32_t> crossings;
    fillShape(top, bottom, paint, [&](int32_t yc, auto span) {
        crossings.clear();
        for (size_t i = 0; i < corners.size(); ++i) {
            const Point& a = corners[i];
            const Point& b = corners[(i + 1) % corners.size()];
            // Half-open in y so that a shared corner counts once.
            const bool crosses = (a.y <= yc && yc < b.y) || (b.y <= yc && yc < a.y);
            if (!crosses)
                continue;
            const int64_t x = a.x + (int64_t{yc} - a.y) * (int64_t{b.x} - a.x) / (int64_t{b.y} - a.y);
            crossings.push_back(static_cast<int32_t>(x));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2)
            span(crossings[i], crossings[i + 1] - 1);
    });
}

void Canvas::strokeLine(Point from, Point to, int32_t thickness, const Paint& paint)
{
    const int64_t dx = int64_t{to.x} - from.x;
    const int64_t dy = int64_t{to.y} - from.y;
    const int64_t length = integerSqrt(static_cast<uint64_t>(dx * dx + dy * dy));
    if (length == 0)
        return;
    // Offset perpendicular to the line by half the thickness on each side.
    const int32_t ox = static_cast<int32_t>(-dy * thickness / (2 * length));
    const int32_t oy = static_cast<int32_t>(dx * thickness / (2 * length));
    fillPolygon({{from.x + ox, from.y + oy}, {to.x + ox, to.y + oy}, {to.x - ox, to.y - oy},
                    {from.x - ox, from.y - oy}},
        paint);
}

Image Canvas::toImage(Rgba matte) const
{
    Image image(pixelWidth, pixelHeight);
    for (int y = 0; y < pixelHeight; ++y) {
        for (int x = 0; x < pixelWidth; ++x) {
            const uint32_t* p = &pixels[(static_cast<size_t>(y) * pixelWidth + static_cast<size_t>(x)) * 4];
            uint8_t* out = image.pixel(x, y);
            const uint8_t alpha = toByte(p[3], opaque);
            if (alpha == 0) {
                out[0] = matte.r;
                out[1] = matte.g;
                out[2] = matte.b;
                out[3] = 0;
                continue;
            }
            // Un-premultiply with the full-precision alpha.
            for (int c = 0; c < 3; ++c)
                out[c] = toByte(p[c], p[3]);
            out[3] = alpha;
        }
    }
    return image;
}

} // namespace datagen
