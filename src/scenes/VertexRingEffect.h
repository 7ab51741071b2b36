// The ring scene: the vertices of a subdivided tetrahedron set out on a wobbling ring
// that rises with the music, pushed back on the beat, around a slowly turning cube.
#pragma once

#include "render/Texture.h"
#include "scenes/CameraScene.h"

class VertexRingEffect : public CameraScene {
public:
    void draw(float seconds) override;
    void load() override;

    Texture picture; // lower half
};
