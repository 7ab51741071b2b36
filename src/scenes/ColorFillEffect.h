// A scene that covers the whole screen with one translucent colour. The camera scenes
// set its colour from their load; no timeline entry draws it.
#pragma once

#include "render/Effect.h"

class ColorFillEffect : public Effect {
public:
    void draw(float seconds) override;
    void load() override;
    void enter() override { }
    void release() override { }

    void setColor(float red, float green, float blue, float alpha);

    float color[4]; // set by load and setColor
};
