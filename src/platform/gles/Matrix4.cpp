// Matrix factors computed as Mesa's GL and GLU compute them: GL's own in single
// precision, GLU's perspective in double, so the layer's transforms stay within
// rounding of the native path.
#include "platform/gles/Matrix4.h"

#include <cmath>

namespace ffgl {

namespace {

constexpr double pi = 3.14159265358979323846;

Matrix4 fromRows(const float rows[4][4])
{
    Matrix4 result;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            result.m[column * 4 + row] = rows[row][column];
    return result;
}

void normalize(float v[3])
{
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0f)
        return;
    for (int i = 0; i < 3; ++i)
        v[i] /= length;
}

void cross(const float a[3], const float b[3], float out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

} // namespace

Matrix4 operator*(const Matrix4& a, const Matrix4& b)
{
    Matrix4 result;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a.at(row, k) * b.at(k, column);
            result.m[column * 4 + row] = sum;
        }
    }
    return result;
}

std::array<float, 4> transform(const Matrix4& matrix, const std::array<float, 4>& v)
{
    std::array<float, 4> out {};
    for (int row = 0; row < 4; ++row)
        out[row] = matrix.at(row, 0) * v[0] + matrix.at(row, 1) * v[1] + matrix.at(row, 2) * v[2]
            + matrix.at(row, 3) * v[3];
    return out;
}

Matrix4 Matrix4::translation(float x, float y, float z)
{
    Matrix4 result;
    result.m[12] = x;
    result.m[13] = y;
    result.m[14] = z;
    return result;
}

Matrix4 Matrix4::scaling(float x, float y, float z)
{
    Matrix4 result;
    result.m[0] = x;
    result.m[5] = y;
    result.m[10] = z;
    return result;
}

Matrix4 Matrix4::rotation(float degrees, float x, float y, float z)
{
    float axis[3] = { x, y, z };
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0f)
        return {}; // GL leaves the matrix alone for a zero axis
    normalize(axis);
    const float radians = degrees * static_cast<float>(pi / 180.0);
    const float s = std::sin(radians);
    const float c = std::cos(radians);
    const float t = 1.0f - c;
    const float ax = axis[0], ay = axis[1], az = axis[2];
    // clang-format off
    const float rows[4][4] = {
        {t * ax * ax + c,      t * ax * ay - s * az, t * ax * az + s * ay, 0.0f},
        {t * ax * ay + s * az, t * ay * ay + c,      t * ay * az - s * ax, 0.0f},
        {t * ax * az - s * ay, t * ay * az + s * ax, t * az * az + c,      0.0f},
        {0.0f,                 0.0f,                 0.0f,                 1.0f},
    };
    // clang-format on
    return fromRows(rows);
}

Matrix4 Matrix4::ortho(double left, double right, double bottom, double top, double zNear, double zFar)
{
    Matrix4 result;
    result.m[0] = static_cast<float>(2.0 / (right - left));
    result.m[5] = static_cast<float>(2.0 / (top - bottom));
    result.m[10] = static_cast<float>(-2.0 / (zFar - zNear));
    result.m[12] = static_cast<float>(-(right + left) / (right - left));
    result.m[13] = static_cast<float>(-(top + bottom) / (top - bottom));
    result.m[14] = static_cast<float>(-(zFar + zNear) / (zFar - zNear));
    return result;
}

Matrix4 Matrix4::frustum(double left, double right, double bottom, double top, double zNear, double zFar)
{
    Matrix4 result;
    result.m[0] = static_cast<float>(2.0 * zNear / (right - left));
    result.m[5] = static_cast<float>(2.0 * zNear / (top - bottom));
    result.m[8] = static_cast<float>((right + left) / (right - left));
    result.m[9] = static_cast<float>((top + bottom) / (top - bottom));
    result.m[10] = static_cast<float>(-(zFar + zNear) / (zFar - zNear));
    result.m[11] = -1.0f;
    result.m[14] = static_cast<float>(-2.0 * zFar * zNear / (zFar - zNear));
    result.m[15] = 0.0f;
    return result;
}

Matrix4 Matrix4::perspective(double fovY, double aspect, double zNear, double zFar)
{
    const double radians = fovY / 2.0 * pi / 180.0;
    const double deltaZ = zFar - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0.0 || sine == 0.0 || aspect == 0.0)
        return {}; // GLU leaves the matrix alone for a degenerate box
    const double cotangent = std::cos(radians) / sine;
    Matrix4 result;
    result.m[0] = static_cast<float>(cotangent / aspect);
    result.m[5] = static_cast<float>(cotangent);
    result.m[10] = static_cast<float>(-(zFar + zNear) / deltaZ);
    result.m[11] = -1.0f;
    result.m[14] = static_cast<float>(-2.0 * zNear * zFar / deltaZ);
    result.m[15] = 0.0f;
    return result;
}

Matrix4 Matrix4::lookAtRotation(double eyeX, double eyeY, double eyeZ, double centerX, double centerY,
    double centerZ, double upX, double upY, double upZ)
{
    float forward[3] = { static_cast<float>(centerX - eyeX), static_cast<float>(centerY - eyeY),
        static_cast<float>(centerZ - eyeZ) };
    float up[3] = { static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ) };
    normalize(forward);
    float side[3];
    cross(forward, up, side);
    normalize(side);
    cross(side, forward, up);
    // clang-format off
    const float rows[4][4] = {
        { side[0],     side[1],     side[2],    0.0f},
        { up[0],       up[1],       up[2],      0.0f},
        {-forward[0], -forward[1], -forward[2], 0.0f},
        { 0.0f,        0.0f,        0.0f,       1.0f},
    };
    // clang-format on
    return fromRows(rows);
}

} // namespace ffgl
