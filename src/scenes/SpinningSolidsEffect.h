// The opening scene: a cube and a subdivided tetrahedron spinning together in trails,
// over a lower-half picture that flashes on the beat and one that pulses with the music.
#pragma once

#include "render/Texture.h"
#include "scenes/CameraScene.h"

class SpinningSolidsEffect : public CameraScene {
public:
    void draw(float seconds) override;
    void load() override;

    Texture picture;      // lower half, every order but 3
    Texture picture2;     // lower half while the music is in order 3
    Texture pulsePicture; // added over the lower half with the spectrum level
};
