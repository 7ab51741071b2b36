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

    // 4 on a beat row, decaying per frame between: pushes the ring back by 0.6 flash
    // and is the picture's opacity (clamped by GL, so it stays opaque while above 1).
    // One value for the class, separate from the other scenes' flashes; enter and
    // leave keep it.
    static float flash;
};
