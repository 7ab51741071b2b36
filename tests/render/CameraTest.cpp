// The camera's derived up vector and its transforms.
#include "render/Camera.h"
#include "support/GLTestContext.h"
#include "support/Matrices.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

using testsupport::Matrix;
using testsupport::multiply;

Matrix perspective(double fovY, double aspect, double zNear, double zFar)
{
    const double f = 1.0 / std::tan(fovY * M_PI / 360.0);
    Matrix m {};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1.0;
    m[14] = 2.0 * zFar * zNear / (zNear - zFar);
    return m;
}

Matrix lookAt(const double eye[3], const double centre[3], const double up[3])
{
    double f[3] = { centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2] };
    const double fl = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    for (double& c : f)
        c /= fl;
    double s[3] = { f[1] * up[2] - f[2] * up[1], f[2] * up[0] - f[0] * up[2], f[0] * up[1] - f[1] * up[0] };
    const double sl = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
    for (double& c : s)
        c /= sl;
    const double u[3] = { s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0] };
    Matrix m {};
    for (int i = 0; i < 3; ++i) {
        m[i * 4 + 0] = s[i];
        m[i * 4 + 1] = u[i];
        m[i * 4 + 2] = -f[i];
    }
    m[15] = 1.0;
    Matrix t {};
    t[0] = t[5] = t[10] = t[15] = 1.0;
    t[12] = -eye[0];
    t[13] = -eye[1];
    t[14] = -eye[2];
    return multiply(m, t);
}

} // namespace

TEST(Camera, DerivesItsUpVectorFromEyeAndTarget)
{
    Camera camera;
    EXPECT_NEAR(camera.up.x, -0.09999, 1e-6);
    EXPECT_NEAR(camera.up.y, 0.09999, 1e-6);
    EXPECT_EQ(camera.up.z, 0.0f);

    camera.setTarget(0.0f, 0.0f, -0.1f);
    camera.setEye(0.0f, 0.0f, -3.0f);
    EXPECT_NEAR(camera.up.x, -0.00001, 1e-9);
    EXPECT_NEAR(camera.up.y, 0.00001, 1e-9);
    EXPECT_EQ(camera.up.z, 0.0f);

    camera.setTarget(0.0f, 0.0f, 0.0f);
    EXPECT_EQ(camera.up.x, 0.0f);
    EXPECT_EQ(camera.up.y, 0.0f);
}

TEST(Camera, RefusesFieldsOfViewThatAreNotPositive)
{
    Camera camera;
    camera.setFieldOfView(0.0f);
    camera.setFieldOfView(-5.0f);
    camera.setFieldOfView(std::nanf(""));
    EXPECT_EQ(camera.fovY, 45.0f);
    camera.setFieldOfView(100.0f);
    EXPECT_EQ(camera.fovY, 100.0f);
}

class CameraApply : public testsupport::GLTest { };

TEST_F(CameraApply, LoadsPerspectiveTimesLookAtAndSelectsModelView)
{
    Camera camera;
    camera.setTarget(8.0f, 7.0f, 5.0f);
    camera.setFieldOfView(72.5f);
    camera.setEye(0.0f, 11.0f, 6.0f);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1.0f, 2.0f, 3.0f);
    camera.apply();

    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(testsupport::currentMatrix(GL_MODELVIEW_MATRIX)[12], 1.0)
        << "the model-view matrix is left alone";

    const double eye[3] = { camera.eye.x, camera.eye.y, camera.eye.z };
    const double centre[3] = { camera.target.x, camera.target.y, camera.target.z };
    const double up[3] = { camera.up.x, camera.up.y, camera.up.z };
    const Matrix expected = multiply(perspective(72.5, 1.3, 1.0, 60.0), lookAt(eye, centre, up));
    const Matrix loaded = testsupport::currentMatrix(GL_PROJECTION_MATRIX);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(loaded[i], expected[i], 1e-5 * (1.0 + std::fabs(expected[i]))) << "element " << i;
}
