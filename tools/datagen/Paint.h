// What a shape is filled with: one colour, or a linear or radial gradient through colour stops.
#pragma once

#include <cstdint>
#include <vector>

namespace datagen {

// Straight-alpha colour.
struct Rgba {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t a = 255;
};

// A position in canvas units (Canvas::unit per output pixel), y growing downwards.
struct Point {
    int32_t x = 0;
    int32_t y = 0;
};

class Paint {
public:
    // Gradient parameter of one stop: 0 at the start, gradientOne at the end.
    static constexpr int32_t gradientOne = 1 << 16;

    struct Stop {
        int32_t position; // 0..gradientOne
        Rgba colour;
    };

    static Paint solid(Rgba colour);
    // Stops run from `from` (0) to `to` (gradientOne), constant beyond both ends.
    static Paint linear(Point from, Point to, std::vector<Stop> stops);
    // Stops run from the centre (0) to the radius (gradientOne), constant beyond it.
    static Paint radial(Point centre, int32_t radius, std::vector<Stop> stops);

    Rgba at(Point p) const;

private:
    enum class Kind { solid, linear, radial };

    Paint(Kind kind, Point from, Point to, int32_t radius, std::vector<Stop> stops);
    Rgba colourAt(int32_t t) const;

    Kind kind;
    Point from;
    Point to;
    int32_t radius;
    std::vector<Stop> stops;
};

} // namespace datagen
