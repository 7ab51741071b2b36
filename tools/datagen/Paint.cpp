// Colour lookup for solid fills and gradients, in integers only.
#include "Paint.h"

#include "FixedMath.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace datagen {

namespace {

// a + (b - a) * weight / total, rounded to nearest; 0 <= weight <= total.
uint8_t mix(uint8_t a, uint8_t b, int64_t weight, int64_t total)
{
    const int64_t value = (a * (total - weight) + b * weight + total / 2) / total;
    return static_cast<uint8_t>(std::clamp<int64_t>(value, 0, 255));
}

} // namespace

Paint::Paint(Kind kind_, Point from_, Point to_, int32_t radius_, std::vector<Stop> stops_)
    : kind(kind_)
    , from(from_)
    , to(to_)
    , radius(radius_)
    , stops(std::move(stops_))
{
    assert(!stops.empty() && "a paint needs at least one colour");
    assert(std::is_sorted(stops.begin(), stops.end(), [](const Stop& a, const Stop& b) {
        return a.position < b.position;
    }) && "gradient stops must be in order");
}

Paint Paint::solid(Rgba colour)
{
    return Paint(Kind::solid, {}, {}, 0, { { 0, colour } });
}

Paint Paint::linear(Point from, Point to, std::vector<Stop> stops)
{
    assert((from.x != to.x || from.y != to.y) && "a linear gradient needs a direction");
    return Paint(Kind::linear, from, to, 0, std::move(stops));
}

Paint Paint::radial(Point centre, int32_t radius, std::vector<Stop> stops)
{
    assert(radius > 0 && "a radial gradient needs a radius");
    return Paint(Kind::radial, centre, {}, radius, std::move(stops));
}

Rgba Paint::at(Point p) const
{
    switch (kind) {
    case Kind::solid:
        return stops.front().colour;
    case Kind::linear: {
        const int64_t dx = to.x - from.x;
        const int64_t dy = to.y - from.y;
        const int64_t along = (p.x - from.x) * dx + (p.y - from.y) * dy;
        const int64_t t = along * gradientOne / (dx * dx + dy * dy);
        return colourAt(static_cast<int32_t>(std::clamp<int64_t>(t, 0, gradientOne)));
    }
    case Kind::radial: {
        const int64_t dx = p.x - from.x;
        const int64_t dy = p.y - from.y;
        const int64_t distance = integerSqrt(static_cast<uint64_t>(dx * dx + dy * dy));
        const int64_t t = distance * gradientOne / radius;
        return colourAt(static_cast<int32_t>(std::min<int64_t>(t, gradientOne)));
    }
    }
    return stops.front().colour;
}

Rgba Paint::colourAt(int32_t t) const
{
    if (t <= stops.front().position)
        return stops.front().colour;
    for (size_t i = 1; i < stops.size(); ++i) {
        const Stop& high = stops[i];
        if (t > high.position)
            continue;
        const Stop& low = stops[i - 1];
        const int64_t span = high.position - low.position;
        if (span == 0)
            return high.colour;
        const int64_t w = t - low.position;
        return { mix(low.colour.r, high.colour.r, w, span), mix(low.colour.g, high.colour.g, w, span),
            mix(low.colour.b, high.colour.b, w, span), mix(low.colour.a, high.colour.a, w, span) };
    }
    return stops.back().colour;
}

} // namespace datagen
