// The switch table and the per-frame driver.
#include "music/Timeline.h"

#include "music/MusicPlayer.h"
#include "music/TimelineState.h"
#include "platform/Clock.h"
#include "render/Effect.h"
#include "render/GLWindow.h"
#include "render/Quad.h"
#include "render/SceneRegistry.h"

#include "platform/GL.h"

#include <iterator>

namespace {

// The scenes in the order they play, each with the music order at which it begins.
constexpr struct {
    Effect* const* scene; // the registry pointer, read when the timeline is filled
    int32_t order;
} cuts[] = {
    // clang-format off
    {&spinningSolidsEffect,  0},
    {&vertexRingEffect,      5},
    {&cubeRingEffect,        7},
    {&latticeStripsEffect,   9},
    {&flashingLatticeEffect, 11},
    // clang-format on
};
constexpr int32_t endOrder = 14; // the music order at which the demo ends

} // namespace

Timeline fillTimeline()
{
    Timeline filled {};
    int32_t i = 0;
    for (const auto& cut : cuts) {
        filled[i] = { *cut.scene, cut.order, i };
        ++i;
    }
    filled[i] = { nullptr, endOrder, i };
    for (++i; i < static_cast<int32_t>(filled.size()); ++i)
        filled[i].index = i;
    return filled;
}

int32_t timelineSceneCount()
{
    return static_cast<int32_t>(std::size(cuts));
}

float secondsSinceStart()
{
    // Formed in double and stored as float.
    return static_cast<float>((static_cast<double>(platform::tickCount()) - startTick) * 0.001);
}

namespace {

// The faint full-screen picture over every frame, blended with whatever blend
// function the scene left set, through the projection the loading screen left.
void drawOverlay()
{
    glPushMatrix();
    {
        glWindow->begin2D(1.0f, 1.0f);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBindTexture(GL_TEXTURE_2D, overlayTexture.glName);
        glColor4f(1.0f, 1.0f, 1.0f, 0.2f);
        glTranslatef(-0.5f, -0.5f, 0.0f);
        drawTexturedQuad(0.0f, 0.0f, 1.0f, 1.0f, 0.01f);
        glDisable(GL_TEXTURE_2D);
        glWindow->end2D();
    }
    glPopMatrix();
    glDisable(GL_BLEND);
}

} // namespace

int drawFrame()
{
    glClear(GL_COLOR_BUFFER_BIT);

    // music starts on the first frame
    if (!musicPlayer.isPlaying()) {
        musicPlayer.start();
        musicPlayer.playModule();
        musicPlayer.setPosition(0, 0);
    }
    musicPlayer.update();
    const uint16_t order = musicPlayer.order();
    const uint16_t row = musicPlayer.row();
    demoTime = secondsSinceStart();

    if (!currentScene)
        return -1;

    // No more music (it was heard to its end, or none could be played): the demo ends
    // as at the end of the timeline, whatever order the music stopped in.
    if (musicPlayer.ended()) {
        currentScene->leave();
        return -1;
    }

    // switch only on exact equality with the next entry's order
    const size_t next = static_cast<size_t>(timelineIndex) + 1;
    if (next < timeline.size() && order == timeline[next].order) {
        ++timelineIndex;
        currentScene->leave();
        if (timelineIndex >= timelineCount)
            return -1;
        if (Effect* entered = timeline[next].scene)
            entered->enter();
        sceneStartTime = demoTime;
    }
    currentScene = timeline[timelineIndex].scene;
    if (!currentScene)
        return -1; // a scene that could not be created ends the demo here

    currentScene->setMusicPosition(order, row);
    currentScene->draw(demoTime - sceneStartTime);

    drawOverlay();
    glFlush();
    return 1;
}
