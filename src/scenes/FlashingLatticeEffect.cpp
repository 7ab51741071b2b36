// The closing scene's load and draw.
#include "scenes/FlashingLatticeEffect.h"

#include "music/MusicPlayer.h"
#include "render/GLWindow.h"
#include "render/Quad.h"
#include "render/SceneRegistry.h"
#include "scenes/ColorFillEffect.h"
#include "scenes/PointLattice.h"
#include "scenes/SceneState.h"

#include "platform/GL.h"

#include <cmath>

namespace {

constexpr int feedbackPasses = 2;
constexpr unsigned lastOrder = 13; // the order that darkens and shrinks

// In the last order the points shrink as the rows advance.
float pointSize(unsigned order, unsigned row)
{
    if (order <= 12)
        return 4.0f;
    if (row <= 8)
        return 3.0f;
    if (row <= 16)
        return 2.0f;
    if (row <= 24)
        return 1.0f;
    return 0.5f;
}

} // namespace

void FlashingLatticeEffect::load()
{
    colorFillEffect->setColor(0.25f, 0.25f, 0.25f, 0.5f);

    cube.setSize(0.3f);
    cube.generate();

    mesh.setSize(3.0f);
    mesh.setLevels(1);
    mesh.generate();

    // Results ignored: a missing picture binds GL's default texture.
    loadTexture(picture, "./data/cosa04d1.tga");
    loadTexture(picture2, "./data/cosa05b1.tga");
}

void FlashingLatticeEffect::draw(float t)
{
    const float h = static_cast<float>(0.05 * t); // drift to white: 1 at 20 seconds
    const unsigned o = musicPlayer.order();
    const unsigned r = musicPlayer.row();
    const float level = musicPlayer.spectrumLevel();

    // background, sinking to black in the last order (GL clamps below 0)
    if (o > 12)
        glClearColor(
            0.0f, static_cast<float>(0.2 - r * 0.03125), static_cast<float>(0.4 - r * 0.03125), 0.0f);
    else
        glClearColor(0.0f, 0.2f, 0.4f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    {
        // camera: one of four places by row, circling at half speed
        const double a = 0.5 * t;
        const Vec4 eye = latticeEye(r, a);
        camera.setEye(eye.x, eye.y, eye.z);
        glPointSize(glWindow->scaledPixels(pointSize(o, r)));
        camera.apply();
        // stored only: this frame uses the target and field of view of the frame before
        camera.setTarget(8.0f, 7.0f, 5.0f);
        camera.setFieldOfView(static_cast<float>(40.0 * std::sin(a) + 60.0)); // degrees

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
                    drawPointLattice(cube, t, h);
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

    flashingLatticeFlash = nextFlash(flashingLatticeFlash, r, 1.0f);

    // trails
    drawTrails(feedbackPasses, t);

    // picture, after the capture: it never enters the trails
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glWindow->begin2D(5.0f, 4.0f);
    {
        // GL clamps the alpha to 1
        glColor4f(1.0f, 1.0f, 1.0f, static_cast<float>(0.6 * flashingLatticeFlash + 16.0 * level));
        glBindTexture(GL_TEXTURE_2D, o >= lastOrder ? picture2.glName : picture.glName);
        // the middle four fifths of the width, the full height
        drawTexturedQuad(-2.0f, -2.0f, 2.0f, 2.0f, -0.0121f);
    }
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glWindow->end2D();
}
