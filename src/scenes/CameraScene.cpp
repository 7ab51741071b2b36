// The shared enter and release of the camera scenes, and the beat flash.
#include "scenes/CameraScene.h"

#include "render/FeedbackLayer.h"
#include "render/GLWindow.h"
#include "render/SceneRegistry.h"

#include "platform/GL.h"

void CameraScene::enter()
{
    camera.setEye(5.0f, 5.0f, 5.0f);
    glLineWidth(glWindow->scaledPixels(1.0f));
}

void CameraScene::release()
{
    cube.release();
    mesh.release();
}

void CameraScene::drawTrails(int passes, float t)
{
    for (int pass = 0; pass < passes; ++pass)
        feedbackLayer->draw(t);
    feedbackLayer->captureScreen();
}

bool isBeatRow(unsigned row)
{
    switch (row) {
    case 0:
    case 1:
    case 8:
    case 9:
    case 16:
    case 17:
    case 24:
    case 25:
        return true;
    default:
        return false;
    }
}

float nextFlash(float flash, unsigned row, float onBeat)
{
    if (isBeatRow(row))
        return onBeat;
    if (flash > 0.0f)
        return static_cast<float>(flash - 0.05 * flash * flash);
    return flash;
}
