// The cube's corners and triangles.
#include "render/CubeMesh.h"

CubeMesh::CubeMesh()
{
    allocate(8, 12);
    vertexCount_ = 8;
    faceCount_ = 12;
    size = 1.0f;
    generate();
}

void CubeMesh::generate()
{
    const float h = size * 0.5f;
    const Vec4 corners[8] = {
        // clang-format off
        {-h, -h,  h, 0.0f},
        { h, -h,  h, 0.0f},
        { h, -h, -h, 0.0f},
        {-h, -h, -h, 0.0f},
        {-h,  h,  h, 0.0f},
        { h,  h,  h, 0.0f},
        { h,  h, -h, 0.0f},
        {-h,  h, -h, 0.0f},
        // clang-format on
    };
    for (int i = 0; i < 8; ++i)
        vertices[i] = corners[i];

    const int32_t faces[12][3] = {
        { 0, 1, 2 },
        { 2, 3, 0 },
        { 4, 5, 6 },
        { 6, 7, 4 },
        { 1, 2, 6 },
        { 6, 5, 1 },
        { 2, 6, 7 },
        { 2, 7, 3 },
        { 3, 7, 4 },
        { 4, 0, 3 },
        { 0, 1, 5 },
        { 5, 4, 0 },
    };
    for (int i = 0; i < 12; ++i)
        setFace(i, faces[i][0], faces[i][1], faces[i][2]);
}
