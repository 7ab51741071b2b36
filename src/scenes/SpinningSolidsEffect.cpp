// The opening scene's load and draw.
#include "scenes/SpinningSolidsEffect.h"

#include "music/MusicPlayer.h"
#include "render/GLWindow.h"
#include "render/Quad.h"
#include "render/SceneRegistry.h"
#include "scenes/ColorFillEffect.h"
#include "scenes/SceneState.h"

#include "platform/GL.h"

namespace {

constexpr int feedbackPasses = 4;
constexpr unsigned pictureTwoOrder = 3; // the music order that shows picture2

// The lower half of the 4 x 4 overlay box, -2..2 on both axes.
void drawLowerHalf()
{
    drawTexturedQuad(-2.0f, -2.0f, 2.0f, 0.0f, -0.0121f);
}

} // namespace

void SpinningSolidsEffect::load()
{
    colorFillEffect->setColor(0.25f, 0.25f, 0.25f, 0.5f);

    cube.setSize(3.5f);
    cube.setShowOutline(1);
    cube.setShowTriangles(1);
    cube.generate();

    mesh.setSize(3.0f);
    mesh.setLevels(4);
    mesh.generate();

    // Results ignored: a missing picture draws with GL's default texture.
    loadTexture(picture, "./data/cosa00d.tga");
    loadTexture(picture2, "./data/cosa00d2.tga");
    loadTexture(pulsePicture, "./data/cosa00e01.tga");
}

void SpinningSolidsEffect::draw(float t)
{
    const float level = musicPlayer.spectrumLevel();

    glClearColor(0.05f, 0.55f, 0.55f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // camera
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    {
        camera.apply();
        // stored only: this frame was seen from the values the frame before stored
        camera.setEye(0.0f, 0.0f, -3.0f);
        camera.setTarget(0.0f, 0.0f, -0.1f);

        // solids
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        {
            glLoadIdentity();
            glRotatef(10.0f * t, 1.0f, 1.0f, 1.0f); // degrees per second
            glMatrixMode(GL_MODELVIEW);
            glPushMatrix();
            {
                glPointSize(glWindow->scaledPixels(10.0f));
                glColor3f(1.0f, 1.0f, 1.0f);
                glEnable(GL_BLEND);
                glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
                mesh.draw(t);
                // the cube's points take the magenta that the mesh outline leaves
                cube.draw(t);
                glDisable(GL_BLEND);
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

    // pictures, after the capture: they never enter the trails
    spinningSolidsFlash = nextFlash(spinningSolidsFlash, musicPlayer.row(), 1.0f);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glWindow->begin2D(4.0f, 4.0f);
    {
        // blend factors as the feedback layer left them: source alpha, one minus it
        glColor4f(1.0f, 1.0f, 1.0f, spinningSolidsFlash);
        const bool secondPicture = musicPlayer.order() == pictureTwoOrder;
        glBindTexture(GL_TEXTURE_2D, secondPicture ? picture2.glName : picture.glName);
        drawLowerHalf();

        // Alpha 20 L, clamped to 1 by GL. Saturate weighs the picture by one minus the
        // frame's alpha: a frame without alpha planes gets nothing added.
        glColor4f(1.0f, 1.0f, 1.0f, 20.0f * level);
        glBlendFunc(GL_SRC_ALPHA_SATURATE, GL_ONE);
        glBindTexture(GL_TEXTURE_2D, pulsePicture.glName);
        drawLowerHalf();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
    }
    glWindow->end2D();
}
