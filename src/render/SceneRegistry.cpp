// The registry's pointers, null until the program creates the instances.
#include "render/SceneRegistry.h"

ColorFillEffect* colorFillEffect = nullptr;
FeedbackLayer* feedbackLayer = nullptr;
Effect* spinningSolidsEffect = nullptr;
Effect* vertexRingEffect = nullptr;
Effect* cubeRingEffect = nullptr;
Effect* latticeStripsEffect = nullptr;
Effect* flashingLatticeEffect = nullptr;
