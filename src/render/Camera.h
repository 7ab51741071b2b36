// A scene's camera: eye, target, a derived up vector and the perspective. Setters
// only store; nothing reaches GL until apply, so a setting made after apply shows at
// the next apply.
#pragma once

#include "render/Vec4.h"

class Camera {
public:
    Camera();

    void setEye(float x, float y, float z);
    void setTarget(float x, float y, float z);
    // Ignores zero, negative and not-a-number angles.
    void setFieldOfView(float degrees);
    // up = cross(target - eye + 0.0001, target): perpendicular to both, not normalised.
    void updateUp();
    // Loads perspective and look-at into the projection matrix, then selects the
    // model-view matrix without changing it.
    void apply() const;

    Vec4 eye;
    Vec4 target;
    Vec4 up;
    float fovY = 45.0f; // degrees
    float zNear = 1.0f;
    float zFar = 60.0f;
    float aspect = 1.3f; // whatever the window's shape
};
