// A picture cut into 128 vertical strips, each with its own opacity, that condenses out
// of tall faint streaks (reveal) or melts back into them (dissolve), a few random strips
// at a time. Not a scene of its own: the lattice scene owns one and draws it.
#pragma once

#include "render/Effect.h"
#include "render/Texture.h"

#include <cstdint>

class StripPictureEffect : public Effect {
public:
    static constexpr int stripCount = 128;

    // Draws in whatever coordinates the caller set up: x -1..1, y -1..1 for an opaque
    // strip. Makes ten random updates first when more than `interval` has passed.
    void draw(float seconds) override;
    void load() override;
    void enter() override { }
    void release() override { }

    // A name of 256 characters or more is cut to 255.
    void setFileName(const char* name);
    void setInterval(float seconds) { interval = seconds; }
    // 1 reveals; any other value dissolves.
    void setMode(int32_t value) { mode = value; }

    // One random pick: raises (reveal) or lowers (dissolve) one strip's opacity.
    void randomUpdate();

    // Everything below gets its value from setFileName and load.
    Texture texture;
    float color[4] = {}; // each strip replaces the alpha with its own
    char fileName[256] = {};
    float stripAlpha[stripCount] = {}; // kept within 0..1
    float interval = 0.0f;             // seconds of scene time between updates
    int32_t mode = 0;
};
