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
    , designWidth(width)
    , designHeight(height)
    , pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0)
    , coverage(static_cast<size_t>(width), 0)
{
    assert(width > 0 && height > 0 && "a canvas needs a size");
    assert(supersample > 0 && unit % (2 * supersample) == 0 && "supersample must divide the unit");
}

void Canvas::setDesignSize(int width, int height)
{
    assert(width > 0 && height > 0 && "a design space needs a size");
    designWidth = width;
    designHeight = height;
}

int32_t Canvas::toCanvasX(int64_t x) const
{
    return static_cast<int32_t>(floorDiv(x * pixelWidth * 2 + designWidth, int64_t { designWidth } * 2));
}

int32_t Canvas::toCanvasY(int64_t y) const
{
    return static_cast<int32_t>(floorDiv(y * pixelHeight * 2 + designHeight, int64_t { designHeight } * 2));
}

Point Canvas::toDesign(Point p) const
{
    return { static_cast<int32_t>(int64_t { p.x } * designWidth / pixelWidth),
        static_cast<int32_t>(int64_t { p.y } * designHeight / pixelHeight) };
}

void Canvas::clear(Rgba colour)
{
    const uint32_t pre[4] = { uint32_t { colour.r } * colour.a, uint32_t { colour.g } * colour.a,
        uint32_t { colour.b } * colour.a, uint32_t { colour.a } * 255 };
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
    const int64_t sampleRows = int64_t { pixelHeight } * supersample;
    const int64_t first = std::max<int64_t>(ceilDiv(int64_t { top } - halfSample, 2 * halfSample), 0);
    const int64_t last
        = std::min<int64_t>(floorDiv(int64_t { bottom } - halfSample, 2 * halfSample), sampleRows - 1);
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
    const int64_t sampleColumns = int64_t { pixelWidth } * supersample;
    const int64_t first = std::max<int64_t>(ceilDiv(int64_t { xBegin } - halfSample, 2 * halfSample), 0);
    const int64_t last
        = std::min<int64_t>(floorDiv(int64_t { xEnd } - halfSample, 2 * halfSample), sampleColumns - 1);
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
        const Rgba c = paint.at(toDesign({ x * unit + unit / 2, yc }));
        // Alpha of this paint over this pixel, 65025 meaning opaque.
        const uint64_t alpha = (uint64_t { c.a } * 255 * std::min(covered, full) + full / 2) / full;
        if (alpha == 0)
            continue;
        const uint64_t keep = opaque - alpha;
        uint32_t* d = &pixels[(static_cast<size_t>(pixelRow) * pixelWidth + static_cast<size_t>(x)) * 4];
        const uint64_t source[4] = { c.r, c.g, c.b, 255 };
        for (int i = 0; i < 4; ++i)
            d[i] = static_cast<uint32_t>(
                (source[i] * alpha * 255 + uint64_t { d[i] } * keep + opaque / 2) / opaque);
    }
}

void Canvas::fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, const Paint& paint)
{
    // Half-open on the far sides so that adjacent rectangles do not overlap.
    const int32_t l = toCanvasX(left);
    const int32_t r = toCanvasX(right);
    fillShape(toCanvasY(top), toCanvasY(bottom) - 1, paint, [&](int32_t, auto span) { span(l, r - 1); });
}

void Canvas::fillDisc(Point centre, int32_t radius, const Paint& paint)
{
    fillRing(centre, radius, 0, paint);
}

void Canvas::fillRing(Point centre, int32_t outerRadius, int32_t innerRadius, const Paint& paint)
{
    assert(outerRadius >= innerRadius && innerRadius >= 0 && "ring radii out of order");
    const int64_t outer2 = int64_t { outerRadius } * outerRadius;
    const int64_t inner2 = int64_t { innerRadius } * innerRadius;
    const int32_t cx = toCanvasX(centre.x);
    // Rows and spans are found in design units, then placed on the canvas.
    const auto across = [&](int64_t half) { return toCanvasX(centre.x + half) - cx; };
    fillShape(toCanvasY(centre.y - outerRadius), toCanvasY(centre.y + outerRadius), paint,
        [&](int32_t yc, auto span) {
            const int64_t dy = int64_t { yc } * designHeight / pixelHeight - centre.y;
            const int64_t dy2 = dy * dy;
            if (dy2 > outer2)
                return;
            const int32_t outerHalf = across(integerSqrt(static_cast<uint64_t>(outer2 - dy2)));
            if (innerRadius == 0 || dy2 >= inner2) {
                span(cx - outerHalf, cx + outerHalf);
                return;
            }
            // Points exactly on the inner circle stay outside the ring.
            const int32_t innerHalf = across(integerSqrt(static_cast<uint64_t>(inner2 - dy2)));
            span(cx - outerHalf, cx - innerHalf - 1);
            span(cx + innerHalf + 1, cx + outerHalf);
        });
}

void Canvas::fillPolygon(const std::vector<Point>& corners, const Paint& paint)
{
    if (corners.size() < 3)
        return;
    std::vector<Point> mapped;
    mapped.reserve(corners.size());
    for (const Point& p : corners)
        mapped.push_back({ toCanvasX(p.x), toCanvasY(p.y) });
    fillCanvasPolygon(mapped, paint);
}

void Canvas::fillCanvasPolygon(const std::vector<Point>& corners, const Paint& paint)
{
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
            const int64_t x
                = a.x + (int64_t { yc } - a.y) * (int64_t { b.x } - a.x) / (int64_t { b.y } - a.y);
            crossings.push_back(static_cast<int32_t>(x));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2)
            span(crossings[i], crossings[i + 1] - 1);
    });
}

void Canvas::strokeLine(Point from, Point to, int32_t thickness, const Paint& paint)
{
    const int64_t dx = int64_t { to.x } - from.x;
    const int64_t dy = int64_t { to.y } - from.y;
    const int64_t length = integerSqrt(static_cast<uint64_t>(dx * dx + dy * dy));
    if (length == 0)
        return;
    // Offset perpendicular to the line by half the thickness on each side.
    const int32_t ox = static_cast<int32_t>(-dy * thickness / (2 * length));
    const int32_t oy = static_cast<int32_t>(dx * thickness / (2 * length));
    fillPolygon({ { from.x + ox, from.y + oy }, { to.x + ox, to.y + oy }, { to.x - ox, to.y - oy },
                    { from.x - ox, from.y - oy } },
        paint);
}

void Canvas::boxBlur(int radius, bool alongRows)
{
    const int lines = alongRows ? pixelHeight : pixelWidth;
    const int length = alongRows ? pixelWidth : pixelHeight;
    const size_t step = alongRows ? 4 : static_cast<size_t>(pixelWidth) * 4;
    // Division by the window's width as a multiplication: sums stay below 2^31.
    const uint64_t reciprocal = ((uint64_t { 1 } << 32) + static_cast<uint64_t>(2 * radius))
        / static_cast<uint64_t>(2 * radius + 1);
    std::vector<uint32_t> line(static_cast<size_t>(length) * 4);
    for (int l = 0; l < lines; ++l) {
        uint32_t* first
            = &pixels[alongRows ? static_cast<size_t>(l) * pixelWidth * 4 : static_cast<size_t>(l) * 4];
        for (int i = 0; i < length; ++i)
            std::copy(first + i * step, first + i * step + 4, &line[static_cast<size_t>(i) * 4]);
        uint64_t sum[4] = { 0, 0, 0, 0 };
        for (int i = -radius - 1; i < length; ++i) {
            // The window [i - radius, i + radius] slides one pixel on.
            const int enter = i + radius;
            const int leave = i - radius - 1;
            for (int c = 0; c < 4; ++c) {
                if (enter >= 0 && enter < length)
                    sum[c] += line[static_cast<size_t>(enter) * 4 + c];
                if (leave >= 0)
                    sum[c] -= line[static_cast<size_t>(leave) * 4 + c];
            }
            if (i >= 0) {
                for (int c = 0; c < 4; ++c)
                    first[i * step + c] = static_cast<uint32_t>((sum[c] * reciprocal) >> 32);
            }
        }
    }
}

void Canvas::blur(int radius)
{
    if (radius <= 0)
        return;
    for (int pass = 0; pass < 3; ++pass) {
        boxBlur(radius, true);
        boxBlur(radius, false);
    }
}

void Canvas::drawLayer(const Canvas& layer, int opacity)
{
    assert(layer.pixelWidth == pixelWidth && layer.pixelHeight == pixelHeight && "layers match in size");
    for (size_t i = 0; i < pixels.size(); i += 4) {
        const uint64_t alpha = uint64_t { layer.pixels[i + 3] } * static_cast<uint64_t>(opacity) / 100;
        const uint64_t keep = opaque - std::min(alpha, opaque);
        for (size_t c = 0; c < 4; ++c) {
            const uint64_t source = uint64_t { layer.pixels[i + c] } * static_cast<uint64_t>(opacity) / 100;
            pixels[i + c]
                = static_cast<uint32_t>(source + (uint64_t { pixels[i + c] } * keep + opaque / 2) / opaque);
        }
    }
}

void Canvas::maskWith(const Canvas& mask)
{
    assert(mask.pixelWidth == pixelWidth && mask.pixelHeight == pixelHeight && "mask matches in size");
    for (size_t i = 0; i < pixels.size(); i += 4) {
        const uint64_t keep = mask.pixels[i + 3];
        for (size_t c = 0; c < 4; ++c)
            pixels[i + c] = static_cast<uint32_t>((uint64_t { pixels[i + c] } * keep + opaque / 2) / opaque);
    }
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
