// The loader and its loading screen: a bar that fills and a logo that fades in.
#include "app/Loader.h"

#include "app/Instances.h"
#include "app/ShellState.h"
#include "music/FrameDriver.h"
#include "music/MusicPlayer.h"
#include "music/TimelineState.h"
#include "platform/Clock.h"
#include "platform/DataFolder.h"
#include "platform/GLSurface.h"
#include "render/Effect.h"
#include "render/FeedbackLayer.h"
#include "render/GLWindow.h"
#include "render/Quad.h"
#include "render/SceneRegistry.h"

#include "platform/GL.h"

int loadDemo()
{
    loadTexture(logoTexture, "./data/vorimel.tga");
    drawLoadingProgress(0.0f);

    // The first scene's clock runs from here: its first frame includes the loading time.
    startTick = static_cast<float>(platform::tickCount());
    demoTime = secondsSinceStart();
    sceneStartTime = demoTime;
    drawLoadingProgress(10.0f);
    drawLoadingProgress(15.0f);

    loadTexture(overlayTexture, "./data/diagonales.tga");
    drawLoadingProgress(20.0f);

    if (musicPlayer.init() < 0) {
        loaded = 1;
        return -1;
    }
    musicPlayer.loadModule(platform::dataFilePath(modulePath).c_str());
    drawLoadingProgress(30.0f);

    for (const InstanceRow* row : instancesInLoadOrder()) {
        if (Effect* instance = row->instance()) {
            instance->load();
            // the build's alpha, before any scene draws through the layer
            if (instance == feedbackLayer)
                feedbackLayer->setColor(1.0f, 1.0f, 1.0f, FEEDBACK_ALPHA);
        }
        drawLoadingProgress(row->loadedPercent);
    }

    currentScene = timeline[timelineIndex].scene;
    if (currentScene)
        currentScene->enter();
    drawLoadingProgress(100.0f);

    platform::sleepFor(1000);
    loaded = 1;
    return 1;
}

void drawLoadingProgress(float percent)
{
    const float a = percent * 0.01f;

    glViewport(0, 0, glWindow->width(), glWindow->height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glClearColor(0.05f, 0.55f, 0.55f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // The base projection of the whole run: every later begin2D multiplies onto it.
    glFrustum(-1.0, 1.0, -1.0, 1.0, 1.0, 20.0);

    // bar
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    {
        glLoadIdentity();
        glTranslatef(0.0f, -3.0f, 0.0f);
        glWindow->begin2D(110.0f, 10.0f);

        glColor3f(0.0f, 0.6f, 0.81f);
        glLineWidth(glWindow->scaledPixels(2.0f));
        glBegin(GL_LINE_LOOP);
        // clang-format off
        glVertex3f(-50.5f, -0.1f, 0.0f);
        glVertex3f( 50.5f, -0.1f, 0.0f);
        glVertex3f( 50.5f,  0.3f, 0.0f);
        glVertex3f(-50.5f,  0.3f, 0.0f);
        // clang-format on
        glEnd();

        // one unit per percent, more opaque as it grows
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor4f(1.0f, 1.0f, 1.0f, a);
        glBegin(GL_QUADS);
        // clang-format off
        glVertex3f(-50.0f,          0.0f, 0.0f);
        glVertex3f(percent - 50.0f, 0.0f, 0.0f);
        glVertex3f(percent - 50.0f, 0.2f, 0.0f);
        glVertex3f(-50.0f,          0.2f, 0.0f);
        // clang-format on
        glEnd();

        glWindow->end2D();
    }
    glPopMatrix();

    // logo, fading in to alpha 0.8
    glPushMatrix();
    {
        glWindow->begin2D(1.0f, 2.0f);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, logoTexture.glName);
        glColor4f(1.0f, 1.0f, 1.0f, a * 0.8f);
        glTranslatef(-0.5f, -0.5f, 0.0f);
        drawTexturedQuad(0.0f, 0.0f, 1.0f, 1.2f, 0.01f);
        glDisable(GL_TEXTURE_2D);
        glWindow->end2D();
    }
    glPopMatrix();
    glDisable(GL_BLEND);

    platform::sleepFor(10);
    glFlush();
    if (platform::GLSurface* surface = glWindow->surface())
        surface->present();
}
