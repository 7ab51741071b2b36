// A lattice of 15 x 15 x 15 point cubes in trails, seen from four row-chosen places,
// under a strip picture over the lower half that reveals until row 24 and then melts.
#pragma once

#include "render/Texture.h"
#include "scenes/CameraScene.h"
#include "scenes/StripPictureEffect.h"

class LatticeStripsEffect : public CameraScene {
public:
    void draw(float seconds) override;
    void load() override;

    Texture picture; // loaded, never drawn
    Texture flare;   // loaded, never drawn
    StripPictureEffect strips;
};
