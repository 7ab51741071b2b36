// The point lattice and its viewpoints.
#include "scenes/PointLattice.h"

#include "platform/GL.h"

#include <cmath>

namespace {

constexpr int latticeSize = 15; // cubes along each axis

} // namespace

void drawPointLattice(CubeMesh& cube, float t, float drift)
{
    cube.setShowTriangles(0);
    cube.setShowSpokes(0);
    cube.setShowOutline(0);

    const float fiveT = 5.0f * t;
    for (int i = 0; i < latticeSize; ++i) {
        // steps of 24 radians, not degrees
        const float red = static_cast<float>(drift + (std::sin(t + 24.0 * i) + 1.0) * 0.5);
        for (int j = 0; j < latticeSize; ++j) {
            const float green = static_cast<float>(drift + (std::cos(t + 24.0 * j) + 1.0) * 0.5);
            for (int k = 0; k < latticeSize; ++k) {
                const float scale = static_cast<float>(std::cos(i + j + k + double(t)) + 1.0);
                glLoadIdentity();
                const float blue = static_cast<float>(
                    (std::cos(4.0 * k + 5.0 + fiveT) + std::cos(k + double(t))) * 0.25 + drift + 0.5);
                glColor3f(red, green, blue);
                glTranslatef(float(i), float(j), float(k));
                glScalef(scale, scale, scale);
                cube.draw(t);
            }
        }
    }
}

Vec4 latticeEye(unsigned row, double angle)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const float x = static_cast<float>(3.0 * c + 5.0);
    const float y = static_cast<float>(2.0 * s + 3.0);
    if (row <= 8)
        return { 0.0f, static_cast<float>(3.0 * c + 8.0), static_cast<float>(2.0 * s + 6.0), 0.0f };
    if (row <= 16)
        return { x, 0.0f, y, 0.0f };
    if (row <= 24)
        return { x, y, 0.0f, 0.0f };
    return { x, y, y, 0.0f };
}
