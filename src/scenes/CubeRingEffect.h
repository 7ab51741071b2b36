// The cube ring scene: ten translucent cubes circling in trails, each drawn again
// enlarged and turning, seen from viewpoints that cut with the pattern row, under a
// picture that grows with the music and pulses with time.
#pragma once

#include "render/Texture.h"
#include "render/Vec4.h"
#include "scenes/CameraScene.h"

#include <optional>

class CubeRingEffect : public CameraScene {
public:
    void draw(float seconds) override;
    void load() override;

    // The viewpoint of a pattern row; none on rows 8, 16 and 24, where the eye keeps
    // the moving point that the frame before stored.
    static std::optional<Vec4> eyeForRow(unsigned row);

    Texture picture; // overlay
};
