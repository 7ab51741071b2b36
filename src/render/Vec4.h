// Four floats; the camera and the meshes use x, y and z, w is carried along.
#pragma once

struct Vec4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;
};

// The cross product of x, y and z; w is left 0.
inline Vec4 cross(Vec4 a, Vec4 b)
{
    return { a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x, 0.0f };
}
