// The scene classes' shared values, as at program start.
#include "scenes/SceneState.h"

float spinningSolidsFlash = 0.0f;
float vertexRingFlash = 0.0f;
float flashingLatticeFlash = 0.0f;
float stripUpdateTime = -1.0f;

void resetSceneState()
{
    spinningSolidsFlash = 0.0f;
    vertexRingFlash = 0.0f;
    flashingLatticeFlash = 0.0f;
    stripUpdateTime = -1.0f;
}
