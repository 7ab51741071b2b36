// The colour fill: one blended quad well beyond the 2x2 box on every side.
#include "scenes/ColorFillEffect.h"

#include "render/GLWindow.h"

#include "platform/GL.h"

void ColorFillEffect::load()
{
    setColor(1.0f, 1.0f, 1.0f, 1.0f);
}

void ColorFillEffect::setColor(float red, float green, float blue, float alpha)
{
    color[0] = red;
    color[1] = green;
    color[2] = blue;
    color[3] = alpha;
}

void ColorFillEffect::draw(float)
{
    glWindow->begin2D(2.0f, 2.0f);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    {
        glLoadIdentity();
        glColor4fv(color);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        // Texturing is off whenever a scene draws, so the fill is untextured.
        glBegin(GL_QUADS);
        glNormal3f(0.0f, 0.0f, 1.0f);
        // clang-format off
        glVertex3f(-4.0f, -2.0f, -0.0121f);
        glVertex3f( 4.0f, -2.0f, -0.0121f);
        glVertex3f( 4.0f,  2.0f, -0.0121f);
        glVertex3f(-4.0f,  2.0f, -0.0121f);
        // clang-format on
        glEnd();
        glDisable(GL_BLEND);
    }
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glWindow->end2D();
}
