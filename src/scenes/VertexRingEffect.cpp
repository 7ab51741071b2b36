// The ring scene's load and draw.
#include "scenes/VertexRingEffect.h"

#include "music/MusicPlayer.h"
#include "render/GLWindow.h"
#include "render/Quad.h"
#include "render/SceneRegistry.h"
#include "scenes/ColorFillEffect.h"
#include "scenes/SceneState.h"

#include "platform/GL.h"

#include <cmath>

namespace {

constexpr int feedbackPasses = 4;
constexpr float beatFlash = 4.0f;

} // namespace

void VertexRingEffect::load()
{
    colorFillEffect->setColor(0.25f, 0.25f, 0.25f, 0.5f);

    cube.setSize(3.0f);
    cube.generate();

    // draw moves its vertices every frame; the triangles stay as generated
    mesh.setSize(3.0f);
    mesh.setLevels(4);
    mesh.generate();

    // Result ignored: a missing picture draws with GL's default texture.
    loadTexture(picture, "./data/cosa01b.tga");
}

void VertexRingEffect::draw(float t)
{
    const float level = musicPlayer.spectrumLevel();

    // blue 1.9 is clamped to 1
    glClearColor(0.9f, 0.0f, 1.9f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // camera
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    {
        camera.apply();
        // stored only: this frame was seen from the values the frame before stored
        camera.setEye(0.0f, 0.0f, -6.0f);
        camera.setTarget(0.0f, -1.0f, -0.1f);

        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        {
            glLoadIdentity();
            glMatrixMode(GL_MODELVIEW);
            glPushMatrix();
            {
                glLoadIdentity();
                glPointSize(glWindow->scaledPixels(10.0f));
                glColor3f(1.0f, 1.0f, 1.0f);
                glEnable(GL_BLEND);
                glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

                // beat flash
                vertexRingFlash = nextFlash(vertexRingFlash, musicPlayer.row(), beatFlash);

                // ring
                // Radius 2, wobbling in depth, lifted by the level; consecutive vertices
                // lie 1 radian apart, so the outline crosses the ring as a star.
                const float lift = static_cast<float>(5.0 * level);
                for (int i = 0; i < mesh.vertexCount(); ++i) {
                    const double angle = 0.5 * t + i; // radians
                    const double x = 2.0 * std::sin(angle);
                    const double y = 2.0 * std::cos(angle) + lift;
                    const double z = 2.0 * std::sin(y) + level;
                    mesh.setVertex(i, static_cast<float>(x), static_cast<float>(y), static_cast<float>(z),
                        mesh.vertex(i).w);
                }
                glTranslatef(0.0f, 0.0f, 0.6f * vertexRingFlash); // pushed back on the beat
                glRotatef(10.0f * t, 1.0f, 1.0f, 1.0f);           // degrees per second
                mesh.draw(t);

                // cube
                // Edge 3 scaled to 9. Saturate weighs it by one minus the frame's alpha:
                // a frame without alpha planes gets nothing added.
                glBlendFunc(GL_SRC_ALPHA_SATURATE, GL_ONE);
                glMatrixMode(GL_MODELVIEW);
                glPushMatrix();
                {
                    glLoadIdentity();
                    glScalef(3.0f, 3.0f, 3.0f);
                    glRotatef(t, 1.0f, 0.0f, 0.0f); // one degree per second
                    cube.setAlpha(0.3f);
                    cube.draw(t);
                }
                glPopMatrix();
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

    // picture, after the capture: it never enters the trails
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glWindow->begin2D(4.0f, 4.0f);
    {
        // blend factors as the feedback layer left them: source alpha, one minus it
        glColor4f(1.0f, 1.0f, 1.0f, vertexRingFlash);
        glBindTexture(GL_TEXTURE_2D, picture.glName);

        // the lower half with a small margin
        drawTexturedQuad(-2.02f, -2.01f, 2.02f, 0.00999999f, -0.0121f);

        // blending stays on for the frame overlay
        glDisable(GL_TEXTURE_2D);
    }
    glWindow->end2D();
}
