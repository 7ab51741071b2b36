// The closing scene: a lattice of 15 x 15 x 15 point cubes in trails whose colours drift
// to white, under a picture that flashes on the beat and follows the music's level. In
// the last order the background sinks to black and the points shrink row by row.
#pragma once

#include "render/Texture.h"
#include "scenes/CameraScene.h"

class FlashingLatticeEffect : public CameraScene {
public:
    void draw(float seconds) override;
    void load() override;

    Texture picture;  // overlay up to order 12
    Texture picture2; // overlay from order 13 on
};
