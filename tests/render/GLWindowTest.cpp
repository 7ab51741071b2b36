// The window settings and the 2D box multiplied onto the projection in force.
#include "render/GLWindow.h"
#include "platform/GLSurface.h"
#include "support/GLTestContext.h"
#include "support/Matrices.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

using testsupport::pixelAt;

namespace {

using testsupport::Matrix;

// What GL makes of a projection built from its own calls, for comparison.
Matrix projectionOf(void (*build)())
{
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    build();
    const Matrix m = testsupport::currentMatrix(GL_PROJECTION_MATRIX);
    glPopMatrix();
    glMatrixMode(static_cast<GLenum>(mode));
    return m;
}

void expectNear(const Matrix& actual, const Matrix& expected)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-6) << "element " << i;
}

class Overlay2D : public testsupport::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
    }

    // A white unit quad at z = 0.01 inside begin2D(1, 1), on a black frame.
    void drawUnitQuad()
    {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glWindow->begin2D(1.0f, 1.0f);
        glColor3f(1, 1, 1);
        glBegin(GL_QUADS);
        glVertex3f(-0.5f, -0.5f, 0.01f);
        glVertex3f(0.5f, -0.5f, 0.01f);
        glVertex3f(0.5f, 0.5f, 0.01f);
        glVertex3f(-0.5f, 0.5f, 0.01f);
        glEnd();
        glWindow->end2D();
    }
};

// Logs the window operations that killWindow makes on whatever surface it holds.
class LoggingSurface : public platform::GLSurface {
public:
    explicit LoggingSurface(std::vector<std::string>& log)
        : log_(log)
    {
    }
    ~LoggingSurface() override { log_.push_back("deleted"); }

    bool pollEvent(platform::WindowEvent&) override { return false; }
    void present() override { }
    void leaveFullscreen() override { log_.push_back("leaveFullscreen"); }
    bool releaseContext() override { return log_.push_back("releaseContext"), true; }

private:
    std::vector<std::string>& log_;
};

} // namespace

TEST(GLWindowSurface, KillWindowLeavesFullscreenOnlyWhenFullscreenThenReleasesAndDropsTheSurface)
{
    for (const unsigned char fullscreen : { 0, 1 }) {
        std::vector<std::string> log;
        GLWindow window(640, 480);
        window.attachSurface(std::make_unique<LoggingSurface>(log));
        window.setFullscreen(fullscreen);
        window.killWindow();
        std::vector<std::string> expected { "releaseContext", "deleted" };
        if (fullscreen)
            expected.insert(expected.begin(), "leaveFullscreen");
        EXPECT_EQ(log, expected) << "fullscreen " << int(fullscreen);
        EXPECT_EQ(window.surface(), nullptr);
        window.killWindow(); // a second kill finds nothing to release
        EXPECT_EQ(log, expected);
    }
}

TEST(GLWindowSettings, ATitleLongerThanItsBufferIsCut)
{
    GLWindow window(640, 480);
    const std::string longTitle(300, 'x');
    window.setTitle(longTitle.c_str());
    EXPECT_EQ(std::string(window.title()), longTitle.substr(0, 254));
}

TEST_F(Overlay2D, MultipliesItsBoxOntoTheProjectionInForceAndRestoresIt)
{
    glFrustum(-1, 1, -1, 1, 1, 20);
    glWindow->begin2D(110.0f, 10.0f);
    expectNear(testsupport::currentMatrix(GL_PROJECTION_MATRIX), projectionOf([] {
        glFrustum(-1, 1, -1, 1, 1, 20);
        glOrtho(-55, 55, -5, 5, 0.1, 200);
    }));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    glWindow->end2D();
    expectNear(testsupport::currentMatrix(GL_PROJECTION_MATRIX),
        projectionOf([] { glFrustum(-1, 1, -1, 1, 1, 20); }));
}

TEST_F(Overlay2D, AQuadAtZ001ShowsOnlyThroughTheBaseFrustum)
{
    drawUnitQuad();
    EXPECT_EQ(pixelAt(320, 240), (std::array<int, 3> { 0, 0, 0 })) << "in front of the near plane";

    glMatrixMode(GL_PROJECTION);
    glFrustum(-1, 1, -1, 1, 1, 20);
    drawUnitQuad();
    // Almost the full box: about 0.999 of it, so only the outermost pixel may be missed.
    EXPECT_EQ(pixelAt(320, 240), (std::array<int, 3> { 255, 255, 255 }));
    EXPECT_EQ(pixelAt(2, 2), (std::array<int, 3> { 255, 255, 255 }));
    EXPECT_EQ(pixelAt(637, 477), (std::array<int, 3> { 255, 255, 255 }));
}
