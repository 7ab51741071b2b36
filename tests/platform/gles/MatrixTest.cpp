// The layer's matrices against Mesa's own GL 1.1 and GLU, for the transforms the
// scenes chain: frustum, perspective, look-at, rotations, translations, scales, ortho.
#include "platform/gles/FixedFunctionState.h"
#include "platform/headless/HeadlessContext.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using ffgl::Matrix4;

void expectSame(const Matrix4& layer, GLenum nativeQuery, const char* what)
{
    GLfloat native[16];
    glGetFloatv(nativeQuery, native);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(layer.m[i], native[i], 2e-6f * (1.0f + std::fabs(native[i]))) << what << " element " << i;
}

TEST(LayerMatrices, MatchNativeGlAndGlu)
{
    // kept to the end of the process, as the test support keeps its own
    std::string error;
    static platform::HeadlessContext* context = platform::HeadlessContext::create(640, 480, error).release();
    ASSERT_TRUE(context) << error;
    ffgl::FixedFunctionState layer;

    // the loading screen's base frustum, then a scene's camera on top of it
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1.0, 1.0, -1.0, 1.0, 1.0, 20.0);
    glPushMatrix();
    gluPerspective(73.5, 640.0 / 480.0, 0.1, 200.0);
    gluLookAt(5.0, 4.5, -3.25, 0.5, 0.0, 1.0, 0.2, 1.0, 0.1);
    layer.matrixMode(ffgl::glProjection);
    layer.loadIdentity();
    layer.multiply(Matrix4::frustum(-1.0, 1.0, -1.0, 1.0, 1.0, 20.0));
    layer.pushMatrix();
    layer.multiply(Matrix4::perspective(73.5, 640.0 / 480.0, 0.1, 200.0));
    layer.multiply(Matrix4::lookAtRotation(5.0, 4.5, -3.25, 0.5, 0.0, 1.0, 0.2, 1.0, 0.1));
    layer.multiply(Matrix4::translation(-5.0f, -4.5f, 3.25f));
    expectSame(layer.projection(), GL_PROJECTION_MATRIX, "camera");

    // a 2D box multiplied onto what is there
    glOrtho(-3.985, 3.985, -1.985, 1.985, 0.1, 200.0);
    layer.multiply(Matrix4::ortho(-3.985, 3.985, -1.985, 1.985, 0.1, 200.0));
    expectSame(layer.projection(), GL_PROJECTION_MATRIX, "ortho");
    glPopMatrix();
    layer.popMatrix();
    expectSame(layer.projection(), GL_PROJECTION_MATRIX, "after pop");

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(123.4f, 1.0f, 1.0f, 1.0f);
    glTranslatef(2.0f, -1.5f, 0.25f);
    glScalef(0.3f, 0.3f, 0.3f);
    glRotatef(-40.0f, 0.0f, 0.0f, 2.0f);
    layer.matrixMode(ffgl::glModelview);
    layer.multiply(Matrix4::rotation(123.4f, 1.0f, 1.0f, 1.0f));
    layer.multiply(Matrix4::translation(2.0f, -1.5f, 0.25f));
    layer.multiply(Matrix4::scaling(0.3f, 0.3f, 0.3f));
    layer.multiply(Matrix4::rotation(-40.0f, 0.0f, 0.0f, 2.0f));
    expectSame(layer.modelview(), GL_MODELVIEW_MATRIX, "modelview");
}

} // namespace
