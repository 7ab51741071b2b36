// The cube: 8 corners and 12 triangles, edge length `size`, centred on the origin.
#pragma once

#include "render/Mesh.h"

class CubeMesh : public Mesh {
public:
    CubeMesh();

    // Never marks itself generated: every draw rebuilds the cube from `size`,
    // overwriting any setVertex.
    void generate() override;
};
