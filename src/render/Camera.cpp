// The camera: the derived up vector and the transforms it loads.
#include "render/Camera.h"

#include "platform/GL.h"

Camera::Camera()
{
    eye = { 1.0f, 1.0f, 1.0f, 0.0f };
    target = { 0.0f, 0.0f, 0.1f, 0.0f };
    updateUp();
}

void Camera::setEye(float x, float y, float z)
{
    eye.x = x;
    eye.y = y;
    eye.z = z;
    updateUp();
}

void Camera::setTarget(float x, float y, float z)
{
    target.x = x;
    target.y = y;
    target.z = z;
    updateUp();
}

void Camera::setFieldOfView(float degrees)
{
    if (degrees > 0.0f) {
        fovY = degrees;
        updateUp();
    }
}

void Camera::updateUp()
{
    // The offset is taken in double and rounded per component.
    Vec4 d;
    d.x = static_cast<float>(target.x - eye.x + 0.0001);
    d.y = static_cast<float>(target.y - eye.y + 0.0001);
    d.z = static_cast<float>(target.z - eye.z + 0.0001);
    up = cross(d, target);
}

void Camera::apply() const
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fovY, aspect, zNear, zFar);
    gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, up.x, up.y, up.z);
    glMatrixMode(GL_MODELVIEW);
}
