// The scenes drawn as the program draws them, for the tests and the scene benchmark:
// the timeline's scenes with an order each plays in, what the program has set up by the
// time a scene draws, and one frame as the frame driver draws it.
#pragma once

#include "support/ScriptedBackend.h"

#include <memory>
#include <vector>

class Effect;

namespace testsupport {

struct TimelineScene {
    const char* name;                  // the class's
    std::unique_ptr<Effect> (*make)(); // a new instance, not loaded
    int order;                         // a music order the scene plays in
};

// The five scenes of the timeline, in the order they play.
const std::vector<TimelineScene>& timelineScenes();

class SceneHarness {
public:
    // The loading screen's frustum and an identity model-view, the feedback layer loaded
    // anew (no trails) with the given alpha, and the music player reading `music`.
    explicit SceneHarness(float feedbackAlpha);
    ~SceneHarness();

    // Reads the music at order and row (and level) through the player.
    void setMusic(int order, int row, float level = 0.0f);
    // One frame as the frame driver draws it: the music read, the frame cleared, the
    // scene told the position and drawn at scene time `seconds`.
    void drawFrame(Effect& scene, int order, int row, float seconds, float level = 0.0f);

    ScriptedBackend music;
};

// The frame (its whole size) as RGB rows, bottom row first.
std::vector<unsigned char> readFrame();

} // namespace testsupport
