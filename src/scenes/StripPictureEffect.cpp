// The strip picture's load, random updates and draw.
#include "scenes/StripPictureEffect.h"

#include "render/RandomUnit.h"
#include "scenes/SceneState.h"

#include "platform/GL.h"

namespace {

constexpr float notYetSet = -1.0f;
constexpr int updatesPerDraw = 10;
constexpr int maxRetries = 20;
constexpr float stripWidth = 1.0f / 64.0f;     // screen units; 128 strips span -1..1
constexpr float stripTexWidth = 1.0f / 128.0f; // texture units
constexpr float stretch = 20.0f;               // extra half-height of a transparent strip
constexpr float revealedAbove = 0.95f;
constexpr float dissolvedBelow = 0.05f;
constexpr GLbitfield savedAttributes = 0x0B71; // the value of GL_DEPTH_TEST, used as a mask

// In double: a float product would round the largest random number up to strip 128.
int pickStrip()
{
    return static_cast<int>(128.0 * randomUnit());
}

} // namespace

void StripPictureEffect::setFileName(const char* name)
{
    size_t n = 0;
    for (; n + 1 < sizeof fileName && name[n] != '\0'; ++n)
        fileName[n] = name[n];
    fileName[n] = '\0';
}

void StripPictureEffect::load()
{
    color[0] = color[1] = color[2] = color[3] = 1.0f;
    loadTexture(texture, fileName); // result ignored: a missing picture binds GL's default texture
    interval = 0.005f;
    for (float& alpha : stripAlpha)
        alpha = 0.0f;
    mode = 1;
}

void StripPictureEffect::randomUpdate()
{
    // drawn in this order: strip, step, then one per retry
    int j = pickStrip();
    const float step = static_cast<float>(0.1 * randomUnit());
    int tries = 0;
    if (mode == 1) {
        // a strip that is nearly there is finished off and another one taken
        while (stripAlpha[j] >= revealedAbove && tries < maxRetries) {
            stripAlpha[j] = 1.0f;
            j = pickStrip();
            ++tries;
        }
        stripAlpha[j] += step;
        if (stripAlpha[j] > 1.0f)
            stripAlpha[j] = 1.0f;
    } else {
        while (stripAlpha[j] <= dissolvedBelow && tries < maxRetries) {
            stripAlpha[j] = 0.0f;
            j = pickStrip();
            ++tries;
        }
        stripAlpha[j] -= step;
        if (stripAlpha[j] < 0.0f)
            stripAlpha[j] = 0.0f;
    }
}

void StripPictureEffect::draw(float t)
{
    glColor4fv(color);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture.glName);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    // the first draw only starts the clock
    if (stripUpdateTime == notYetSet)
        stripUpdateTime = t;

    glPushAttrib(savedAttributes);
    {
        glDisable(GL_DEPTH_TEST);

        // strips
        float x = -1.0f;
        float u = 0.0f;
        for (int i = 0; i < stripCount; ++i) {
            // fires at most once a draw, before strip 0: it moves the last-update time to t
            if (t - stripUpdateTime > interval) {
                for (int update = 0; update < updatesPerDraw; ++update)
                    randomUpdate();
                stripUpdateTime = t;
            }

            // stretched vertically in proportion to its transparency
            const float h = (1.0f - stripAlpha[i]) * stretch;
            glColor4f(color[0], color[1], color[2], stripAlpha[i]);
            glBegin(GL_QUADS);
            glNormal3f(0.0f, 0.0f, 1.0f);
            // clang-format off
            glTexCoord2f(u,                 0.0f); glVertex3f(x,              -1.0f - h, -0.01f);
            glTexCoord2f(u + stripTexWidth, 0.0f); glVertex3f(x + stripWidth, -1.0f - h, -0.01f);
            glTexCoord2f(u + stripTexWidth, 1.0f); glVertex3f(x + stripWidth,  1.0f + h, -0.01f);
            glTexCoord2f(u,                 1.0f); glVertex3f(x,               1.0f + h, -0.01f);
            // clang-format on
            glEnd();

            x += stripWidth;
            u += stripTexWidth;
        }

        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
    }
    // also brings back the colour in force before the push
    glPopAttrib();
}
