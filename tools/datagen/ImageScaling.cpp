// Area-weighted shrinking with straight alpha, in integers.
#include "ImageScaling.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <vector>

namespace datagen {

namespace {

// Source pixel x spans [x * to, (x + 1) * to) and output pixel i spans
// [i * from, (i + 1) * from) on a common axis; a span's weights add up to `from`.
struct Overlap {
    int source;
    int64_t weight;
};

std::vector<std::vector<Overlap>> overlaps(int from, int to)
{
    std::vector<std::vector<Overlap>> result(static_cast<size_t>(to));
    for (int i = 0; i < to; ++i) {
        const int64_t begin = int64_t { i } * from;
        const int64_t end = begin + from;
        for (int x = static_cast<int>(begin / to); int64_t { x } * to < end; ++x) {
            const int64_t left = std::max<int64_t>(begin, int64_t { x } * to);
            const int64_t right = std::min<int64_t>(end, int64_t { x + 1 } * to);
            if (right > left)
                result[static_cast<size_t>(i)].push_back({ x, right - left });
        }
    }
    return result;
}

// a / b rounded to the nearest whole number, ties up; a >= 0, b > 0
int64_t roundedQuotient(int64_t a, int64_t b)
{
    return (2 * a + b) / (2 * b);
}

} // namespace

Image scaleDown(const Image& source, int width, int height)
{
    assert(width > 0 && height > 0 && width <= source.width && height <= source.height
        && "scaleDown only shrinks");
    const auto columns = overlaps(source.width, width);
    const auto rows = overlaps(source.height, height);
    const int64_t area = int64_t { source.width } * source.height;
    Image result(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int64_t alpha = 0;
            int64_t weighted[3] = { 0, 0, 0 }; // colour times alpha times weight
            int64_t plain[3] = { 0, 0, 0 };    // colour times weight
            for (const Overlap& row : rows[static_cast<size_t>(y)]) {
                for (const Overlap& column : columns[static_cast<size_t>(x)]) {
                    const uint8_t* p = source.pixel(column.source, row.source);
                    const int64_t weight = row.weight * column.weight;
                    alpha += weight * p[3];
                    for (int c = 0; c < 3; ++c) {
                        weighted[c] += weight * p[3] * p[c];
                        plain[c] += weight * p[c];
                    }
                }
            }
            uint8_t* out = result.pixel(x, y);
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<uint8_t>(
                    alpha > 0 ? roundedQuotient(weighted[c], alpha) : roundedQuotient(plain[c], area));
            out[3] = static_cast<uint8_t>(roundedQuotient(alpha, area));
        }
    }
    return result;
}

} // namespace datagen
