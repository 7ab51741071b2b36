// The 15 x 15 x 15 lattice of point cubes and the row-chosen viewpoints that the two
// lattice scenes share.
#pragma once

#include "render/CubeMesh.h"
#include "render/Vec4.h"

// Draws the cube at every lattice point, corners only, each coloured by its place and
// by time plus the drift (0 for no drift; at 1 and above every channel is white), each
// swelling on its own phase. Loads the identity into the model-view matrix per cube.
void drawPointLattice(CubeMesh& cube, float t, float drift);

// The eye for a pattern row, circling with the angle (radians); row bounds 8, 16 and
// 24 belong to the lower band.
Vec4 latticeEye(unsigned row, double angle);
