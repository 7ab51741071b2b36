// The cube ring scene's load and draw.
#include "scenes/CubeRingEffect.h"

#include "music/MusicPlayer.h"
#include "render/GLWindow.h"
#include "render/Quad.h"
#include "render/SceneRegistry.h"
#include "scenes/ColorFillEffect.h"

#include "platform/GL.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr int feedbackPasses = 4;
constexpr int cubeCount = 10;
constexpr double cubeStep = 36.0; // radians, not degrees: the cubes are not evenly spaced

struct RowEye {
    unsigned first; // rows first..last, inclusive
    unsigned last;
    Vec4 eye;
};

constexpr unsigned lastRow = std::numeric_limits<uint16_t>::max();

// Rows 8, 16 and 24 are in no band.
constexpr RowEye rowEyes[] = {
    // clang-format off
    { 0,       7, { 0.0f,  0.0f, -5.0f}},
    { 9,      15, { 0.0f, -5.0f,  0.0f}},
    {17,      23, {-5.0f,  0.0f,  0.0f}},
    {25, lastRow, {-5.0f, -5.0f, -5.0f}},
    // clang-format on
};

} // namespace

std::optional<Vec4> CubeRingEffect::eyeForRow(unsigned row)
{
    for (const RowEye& band : rowEyes) {
        if (row >= band.first && row <= band.last)
            return band.eye;
    }
    return std::nullopt;
}

void CubeRingEffect::load()
{
    colorFillEffect->setColor(0.25f, 0.25f, 0.25f, 0.5f);

    cube.setSize(0.65f);
    cube.generate();
    cube.setRed(0.0f);
    cube.setGreen(0.7f);

    // generated, never drawn here
    mesh.setSize(3.0f);
    mesh.setLevels(1);
    mesh.generate();

    // Result ignored: a missing picture draws with GL's default texture.
    loadTexture(picture, "./data/cosa02b.tga");
}

void CubeRingEffect::draw(float t)
{
    const float level = musicPlayer.spectrumLevel();

    glClearColor(0.2f, 0.6f, 0.9f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // camera
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    {
        if (const std::optional<Vec4> eye = eyeForRow(musicPlayer.row()))
            camera.setEye(eye->x, eye->y, eye->z);
        camera.apply();
        // stored only: the next frame is seen towards it
        camera.setTarget(0.0f, -1.0f, -0.1f);

        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        {
            glLoadIdentity();
            // stored only: seen at the next frame if its row is 8, 16 or 24
            camera.setEye(5.0f, static_cast<float>(3.0 * std::cos(double(t)) + 5.0), 5.0f);
            glMatrixMode(GL_MODELVIEW);
            glPushMatrix();
            {
                glPointSize(glWindow->scaledPixels(10.0f));
                glColor3f(1.0f, 1.0f, 1.0f);
                glEnable(GL_BLEND);
                glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

                // cubes
                // Each at its own size with an outline, then enlarged and turning.
                const float scale = std::cos(t) + 3.0f; // breathing, in float arithmetic
                for (int k = 0; k < cubeCount; ++k) {
                    glLoadIdentity();
                    glColor3f(1.0f, 1.0f, 1.0f);
                    const float a = static_cast<float>(double(t) + k);
                    const double angle = t + cubeStep * k; // radians
                    glTranslated(2.0 * std::sin(angle), 2.0 * std::cos(angle), 2.0 * std::sin(double(a)));
                    cube.setShowOutline(1);
                    cube.draw(t);

                    glColor3f(1.0f, 1.0f, 1.0f);
                    glScalef(scale, scale, scale);
                    glRotatef(a, 1.0f, 1.0f, 1.0f); // degrees
                    cube.setShowOutline(0);
                    cube.draw(t);
                }
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
        // size follows the level; opacity runs 0..1 with period pi/2 seconds
        const float b = level * 0.5f + 1.0f;
        glColor4f(1.0f, 1.0f, 1.0f, static_cast<float>((std::sin(4.0 * t) + 1.0) * 0.5));
        // blend factors as the cubes set them and the feedback layer leaves them
        glBindTexture(GL_TEXTURE_2D, picture.glName);

        drawTexturedQuad(-2.0f * b, -0.2f - b, 2.0f * b, b - 0.2f, -0.0121f);

        // blending stays on for the frame overlay
        glDisable(GL_TEXTURE_2D);
    }
    glWindow->end2D();
}
