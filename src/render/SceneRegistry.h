// The process-wide scene instances, created at static initialisation in this order:
// colour fill, feedback layer, then the five timeline scenes. A pointer whose class
// does not exist (or whose creation failed) is null; every pass over the registry
// skips null pointers.
#pragma once

#include <array>

class Effect;
class FeedbackLayer;
class ColorFillEffect;

extern ColorFillEffect* colorFillEffect;
extern FeedbackLayer* feedbackLayer;
extern Effect* spinningSolidsEffect;
extern Effect* vertexRingEffect;
extern Effect* cubeRingEffect;
extern Effect* latticeStripsEffect;
extern Effect* flashingLatticeEffect;

// The seven instances in release (and delete) order.
std::array<Effect*, 7> registryInReleaseOrder();
// Deletes the seven instances in release order and nulls their pointers.
void deleteRegistry();
