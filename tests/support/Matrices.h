// 4x4 matrices as GL keeps them (column-major doubles), computed independently of GL
// so that tests can compare what GL was given.
#pragma once

#include <GL/gl.h>

#include <array>

namespace testsupport {

using Matrix = std::array<double, 16>;

// a * b, as GL multiplies onto the current matrix.
inline Matrix multiply(const Matrix& a, const Matrix& b)
{
    Matrix r {};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k)
                r[col * 4 + row] += a[k * 4 + row] * b[col * 4 + k];
    return r;
}

// The matrix GL holds for GL_PROJECTION_MATRIX or GL_MODELVIEW_MATRIX.
inline Matrix currentMatrix(GLenum which)
{
    Matrix m {};
    glGetDoublev(which, m.data());
    return m;
}

} // namespace testsupport
