// The common part of the five scenes with a 3D view: their camera, cube and
// tetrahedron, and the enter and release they share.
//
// The scenes' draws repeat GL calls that change nothing (a glMatrixMode of the mode
// already selected, a push right after a push, an enable already in force). They are
// deliberate: the call stream is kept call for call as the demo has always made it, so
// do not tidy them away.
#pragma once

#include "render/Camera.h"
#include "render/CubeMesh.h"
#include "render/Effect.h"
#include "render/TetraMesh.h"

class CameraScene : public Effect {
public:
    // Stores the eye (5, 5, 5) (seen at the next apply) and sets the line width to 1.
    void enter() override;
    void release() override;

    Camera camera;
    CubeMesh cube;
    TetraMesh mesh;

protected:
    // The feedback layer drawn `passes` times over the frame, then the frame captured
    // into it: what was drawn so far streams into trails; what comes after does not.
    static void drawTrails(int passes, float t);
};

// Rows 0, 1, 8, 9, 16, 17, 24 and 25: where the music accents and the scenes flash.
bool isBeatRow(unsigned row);

// A flash after one drawn frame: onBeat on a beat row, otherwise it decays by
// 0.05 flash^2 while above 0. Per frame, not per second: the fade is faster at
// higher frame rates.
float nextFlash(float flash, unsigned row, float onBeat);
