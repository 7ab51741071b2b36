// The process-wide instances, created by static initialisation in one place so that
// their order is fixed: the window, the registry, and last the timeline, which copies
// the registry's pointers.
#include "music/Timeline.h"
#include "render/FeedbackLayer.h"
#include "render/GLWindow.h"
#include "render/SceneRegistry.h"
#include "scenes/ColorFillEffect.h"
#include "scenes/CubeRingEffect.h"
#include "scenes/FlashingLatticeEffect.h"
#include "scenes/LatticeStripsEffect.h"
#include "scenes/SpinningSolidsEffect.h"
#include "scenes/VertexRingEffect.h"

#include <new>

GLWindow* glWindow = new GLWindow(640, 480);

// A failed allocation leaves its pointer null.
ColorFillEffect* colorFillEffect = new (std::nothrow) ColorFillEffect;
FeedbackLayer* feedbackLayer = new (std::nothrow) FeedbackLayer;
Effect* spinningSolidsEffect = new (std::nothrow) SpinningSolidsEffect;
Effect* vertexRingEffect = new (std::nothrow) VertexRingEffect;
Effect* cubeRingEffect = new (std::nothrow) CubeRingEffect;
Effect* latticeStripsEffect = new (std::nothrow) LatticeStripsEffect;
Effect* flashingLatticeEffect = new (std::nothrow) FlashingLatticeEffect;

Timeline timeline = fillTimeline();

std::array<Effect*, 7> registryInReleaseOrder()
{
    return {colorFillEffect, feedbackLayer,  spinningSolidsEffect, vertexRingEffect,
            cubeRingEffect,  latticeStripsEffect, flashingLatticeEffect};
}

void deleteRegistry()
{
    delete colorFillEffect;
    colorFillEffect = nullptr;
    delete feedbackLayer;
    feedbackLayer = nullptr;
    for (Effect** scene : {&spinningSolidsEffect, &vertexRingEffect, &cubeRingEffect,
                           &latticeStripsEffect, &flashingLatticeEffect}) {
        delete *scene;
        *scene = nullptr;
    }
}
