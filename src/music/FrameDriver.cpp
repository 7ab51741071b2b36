// The per-frame driver: music, scene switches, the scene's draw, the overlay.
#include "music/FrameDriver.h"

#include "music/MusicPlayer.h"
#include "music/TimelineState.h"
#include "platform/Clock.h"
#include "render/Effect.h"
#include "render/GLWindow.h"
#include "render/Quad.h"

#include "platform/GL.h"

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
