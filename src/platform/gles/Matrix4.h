// 4x4 matrices as the fixed-function pipeline keeps them: single precision, column
// major (element [column * 4 + row]), so they go to the shader as they are.
#pragma once

#include <array>

namespace ffgl {

struct Matrix4 {
    std::array<float, 16> m { 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1 };

    static Matrix4 identity() { return {}; }
    float at(int row, int column) const { return m[column * 4 + row]; }

    // The factors the GL 1.1 and GLU calls multiply onto the current matrix.
    static Matrix4 translation(float x, float y, float z);
    static Matrix4 scaling(float x, float y, float z);
    // angle in degrees about the axis (x, y, z), which need not be unit length
    static Matrix4 rotation(float degrees, float x, float y, float z);
    static Matrix4 ortho(double left, double right, double bottom, double top, double zNear, double zFar);
    static Matrix4 frustum(double left, double right, double bottom, double top, double zNear, double zFar);
    // fovY in degrees
    static Matrix4 perspective(double fovY, double aspect, double zNear, double zFar);
    // rotation only: the eye's translation is a separate factor, as GLU applies it
    static Matrix4 lookAtRotation(double eyeX, double eyeY, double eyeZ, double centerX, double centerY,
        double centerZ, double upX, double upY, double upZ);
};

Matrix4 operator*(const Matrix4& a, const Matrix4& b);

// (x, y, z, w) transformed by the matrix.
std::array<float, 4> transform(const Matrix4& matrix, const std::array<float, 4>& v);

} // namespace ffgl
