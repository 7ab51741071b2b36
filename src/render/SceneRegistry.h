// The process-wide scene instances. The program creates them at static initialisation
// (in app/, which knows their classes) in this order: colour fill, feedback layer, then
// the five timeline scenes. A pointer whose class does not exist (or whose creation
// failed) is null; every pass over the registry skips null pointers.
#pragma once

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
