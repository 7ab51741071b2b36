// The subdivided tetrahedron and its progress lines.
#include "render/TetraMesh.h"

#include "platform/DebugOutput.h"

#include <cstdio>

TetraMesh::TetraMesh()
{
    allocate(4, 4);
    vertexCount_ = 4;
    faceCount_ = 4;
    size = 1.0f;
}

void TetraMesh::generate()
{
    const float h = size * 0.5f;

    // Room for one pass more than is made.
    int maxV = 4;
    int maxF = 4;
    for (int level = 0; level < levels; ++level) {
        maxV += maxF;
        maxF *= 3;
    }
    allocate(maxV, maxF);
    vertexCount_ = 4;
    faceCount_ = 4;

    vertices[0] = { 0.0f, h, 0.0f, 0.0f };
    vertices[1] = { -h, -h, h, 0.0f };
    vertices[2] = { h, -h, 0.0f, 0.0f };
    vertices[3] = { 0.0f, -h, -h, 0.0f };
    setFace(0, 0, 1, 2);
    setFace(1, 0, 2, 3);
    setFace(2, 0, 3, 1);
    setFace(3, 3, 1, 2);

    for (int pass = 1; pass < levels; ++pass) {
        // Triangles made in this pass are not split again in it.
        const int facesAtStart = faceCount_;
        for (int k = 0; k < facesAtStart; ++k) {
            char line[128];
            std::snprintf(
                line, sizeof line, "maxF %d f %d maxV %d v %d\n", maxF, faceCount_, maxV, vertexCount_);
            platform::debugOutput(line);

            const int32_t a = faceA_[k];
            const int32_t b = faceB_[k];
            const int32_t c = faceC_[k];
            const int32_t n = vertexCount_;
            const Vec4& va = vertices[a];
            const Vec4& vb = vertices[b];
            const Vec4& vc = vertices[c];
            vertices[n] = { (vc.x + vb.x + va.x) * 0.33333334f, (vc.y + vb.y + va.y) * 0.33333334f,
                (vc.z + vb.z + va.z) * 0.33333334f, 0.0f };

            setFace(k, a, n, c);
            setFace(faceCount_, a, b, n);
            setFace(faceCount_ + 1, b, c, n);
            faceCount_ += 2;
            vertexCount_ += 1;
        }
    }
    generated = true;
}
