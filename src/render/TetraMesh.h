// A tetrahedron whose faces are split at their centroids, pass after pass.
#pragma once

#include "render/Mesh.h"

class TetraMesh : public Mesh {
public:
    TetraMesh();

    // Takes effect at the next explicit generate (or after a setSize).
    void setLevels(int value) { levels = value; }
    // levels 1 is the plain tetrahedron; each further level splits every triangle in
    // three. Reports every split on the debug channel.
    void generate() override;

private:
    int32_t levels = 1;
};
