// The lattice scene's load and draw.
#include "scenes/LatticeStripsEffect.h"

#include "music/MusicPlayer.h"
#include "render/GLWindow.h"
#include "render/SceneRegistry.h"
#include "scenes/ColorFillEffect.h"
#include "scenes/PointLattice.h"

#include "platform/GL.h"

#include <cmath>

namespace {

constexpr int feedbackPasses = 2;
constexpr unsigned dissolveRow = 24;

} // namespace

void LatticeStripsEffect::load()
{
    colorFillEffect->setColor(0.25f, 0.25f, 0.25f, 0.5f);

    cube.setSize(0.3f);
    cube.generate();

    mesh.setSize(3.0f);
    mesh.setLevels(1);
    mesh.generate();

    // Results ignored: neither picture is drawn by this scene.
    loadTexture(picture, "./data/cosa03.tga");
    loadTexture(flare, "./data/flare2.tga");

    strips.setFileName("./data/cosa03c.tga");
    strips.load();
    strips.setInterval(0.003f);
}

void LatticeStripsEffect::draw(float t)
{
    glClearColor(0.0f, 0.2f, 0.4f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const unsigned r = musicPlayer.row();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    {
        // camera: one of four places by row
        const Vec4 eye = latticeEye(r, t);
        camera.setEye(eye.x, eye.y, eye.z);
        camera.apply();
        // stored only: this frame uses the target and field of view of the frame before
        camera.setTarget(8.0f, 7.0f, 5.0f);
        camera.setFieldOfView(static_cast<float>(40.0 * std::sin(double(t)) + 60.0)); // degrees

        // lattice
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        {
            glLoadIdentity();
            glPushMatrix();
            {
                glPushMatrix();
                {
                    glEnable(GL_BLEND);
                    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
                    glPointSize(glWindow->scaledPixels(4.0f));
                    drawPointLattice(cube, t, 0.0f);
                    glDisable(GL_BLEND);
                }
                glMatrixMode(GL_MODELVIEW);
                glPopMatrix();
            }
            glMatrixMode(GL_MODELVIEW);
            glPopMatrix();
        }
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
    }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();

    // trails
    drawTrails(feedbackPasses, t);

    // strip picture, after the capture: it never enters the trails
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glWindow->begin2D(2.0f, 4.0f);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    {
        // the strips' -1..1 lands on the lower half, -2..0
        glLoadIdentity();
        glTranslatef(0.0f, -1.0f, 0.0f);
        strips.draw(t);
    }
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glWindow->end2D();

    // Dissolves from the first row 24 on, for the rest of the run: nothing sets it back.
    if (r == dissolveRow) {
        strips.setMode(2);
        strips.setInterval(0.001f);
    }
}
